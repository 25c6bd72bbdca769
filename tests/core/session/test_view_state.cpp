// The view flags: the next-view cycle and the titles.
#include <gtest/gtest.h>

#include "session/ViewState.h"

using varno::session::MapView;
using varno::session::ViewState;

TEST(ViewState, NextViewCyclesThroughSixViewsBackToTheCameraMap)
{
    ViewState v;
    const std::pair<MapView, const char*> expected[] = {
        {MapView::Poi, "VARNO POI View"},         {MapView::Route, "VARNO Route View"},
        {MapView::Compass, "VARNO Compass View"}, {MapView::Pointer, "VARNO Pointer View"},
        {MapView::Trail, "VARNO Trail View"},     {MapView::Camera, "VARNO Camera View"}};
    for (auto [view, title] : expected) {
        EXPECT_EQ(v.next(), view) << title;
        EXPECT_EQ(v.title(), title);
    }
    // The track editor is outside the cycle: the next view is the first one.
    v.switchTo(MapView::TrackEditor);
    EXPECT_EQ(v.title(), "VARNO Track Editor View");
    EXPECT_EQ(v.next(), MapView::Poi);
}
