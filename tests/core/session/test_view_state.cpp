// The view flags: toggles, the next-view cycle and the titles.
#include <gtest/gtest.h>

#include "session/ViewState.h"

using varno::session::MapView;
using varno::session::ViewState;

TEST(ViewState, ToggleTwiceReturnsToTheCameraMap)
{
    for (MapView target : {MapView::Poi, MapView::Route, MapView::Compass, MapView::Pointer, MapView::Trail,
                           MapView::TrackEditor}) {
        ViewState v;
        EXPECT_TRUE(v.toggle(target));
        v.clearBackgroundChanged();
        EXPECT_FALSE(v.toggle(target));
        EXPECT_EQ(v.title(), "VARNO Camera View");
        EXPECT_TRUE(v.backgroundChanged()) << "switching back must rebuild the background too";
    }
}

TEST(ViewState, ToggleFromAnotherViewSwitchesRatherThanReturning)
{
    ViewState v;
    v.toggle(MapView::Compass);
    EXPECT_TRUE(v.toggle(MapView::Poi));
    EXPECT_TRUE(v.isOn(MapView::Poi));
    EXPECT_FALSE(v.isOn(MapView::Compass));
    EXPECT_EQ(v.title(), "VARNO POI View");
}

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
