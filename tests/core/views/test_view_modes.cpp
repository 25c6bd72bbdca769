// The view modes: the steps of each switch, in order, and what each view's scene holds.
#include <gtest/gtest.h>

#include "gps/CNmeaDecoder.h"
#include "views/CameraViewScene.h"
#include "views/ViewMode.h"

using namespace varno;
using namespace varno::views;
using session::ViewState;

namespace {

class RecordedSteps : public ViewSteps {
public:
    std::vector<std::string> done;
    void releaseAgentRequest() override { done.emplace_back("releaseAgentRequest"); }
    void loadPoiList() override { done.emplace_back("loadPoiList"); }
    void freePoiList() override { done.emplace_back("freePoiList"); }
    void resetRouteGuidance() override { done.emplace_back("resetRouteGuidance"); }
    void loadAgentIfRouteSpeech() override { done.emplace_back("loadAgentIfRouteSpeech"); }
    void unloadAgent() override { done.emplace_back("unloadAgent"); }
    void reloadCameras() override { done.emplace_back("reloadCameras"); }
    void forceCameraReload() override { done.emplace_back("forceCameraReload"); }
};

using Steps = std::vector<std::string>;
const Steps kRouteSteps = {"releaseAgentRequest", "resetRouteGuidance", "loadAgentIfRouteSpeech"};

Steps plus(Steps a, const Steps& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

// The later features fill in these steps; which ones a switch takes, and in
// what order, is fixed here.
TEST(ViewModes, EachSwitchTakesItsStepsInOrder)
{
    struct Case {
        MapView from, to;
        ViewSwitch how;
        Steps steps;
    };
    const Case cases[] = {
        {MapView::Camera, MapView::Poi, ViewSwitch::Toggle, {"releaseAgentRequest", "loadPoiList"}},
        {MapView::Camera, MapView::Route, ViewSwitch::Toggle, plus({"freePoiList"}, kRouteSteps)},
        {MapView::Poi, MapView::Route, ViewSwitch::Toggle, plus({"freePoiList"}, kRouteSteps)},
        {MapView::Poi, MapView::Compass, ViewSwitch::Toggle, {"releaseAgentRequest"}},
        {MapView::Camera, MapView::Pointer, ViewSwitch::Toggle, kRouteSteps},
        {MapView::Camera, MapView::Trail, ViewSwitch::Toggle, kRouteSteps},
        {MapView::Camera, MapView::TrackEditor, ViewSwitch::Toggle, {"releaseAgentRequest"}},
        {MapView::Poi, MapView::Camera, ViewSwitch::ToggleBack, {"freePoiList"}},
        {MapView::Route, MapView::Camera, ViewSwitch::ToggleBack, {}},
        {MapView::Trail, MapView::Camera, ViewSwitch::ToggleBack, {}},
        {MapView::Route,
         MapView::Camera,
         ViewSwitch::Always,
         {"freePoiList", "releaseAgentRequest", "reloadCameras"}},
        {MapView::Poi, MapView::Poi, ViewSwitch::Always, {"releaseAgentRequest", "loadPoiList"}},
        {MapView::Camera,
         MapView::Route,
         ViewSwitch::Always,
         {"freePoiList", "resetRouteGuidance", "loadAgentIfRouteSpeech"}},
        // The next-view cycle.
        {MapView::Camera, MapView::Poi, ViewSwitch::Next, {"loadPoiList"}},
        {MapView::TrackEditor, MapView::Poi, ViewSwitch::Next, {"loadPoiList"}},
        {MapView::Poi, MapView::Route, ViewSwitch::Next,
         plus({"freePoiList", "forceCameraReload"}, kRouteSteps)},
        {MapView::Route, MapView::Compass, ViewSwitch::Next, {"loadAgentIfRouteSpeech"}},
        {MapView::Compass, MapView::Pointer, ViewSwitch::Next, kRouteSteps},
        {MapView::Pointer, MapView::Trail, ViewSwitch::Next, {"loadAgentIfRouteSpeech"}},
        {MapView::Trail, MapView::Camera, ViewSwitch::Next, {"unloadAgent"}},
    };
    ViewModes modes;
    for (const Case& c : cases) {
        ViewState state;
        state.switchTo(c.from);
        state.clearBackgroundChanged();
        RecordedSteps steps;
        modes.switchTo(state, c.to, c.how, steps);
        EXPECT_EQ(steps.done, c.steps) << int(c.from) << " -> " << int(c.to) << " by " << int(c.how);
        EXPECT_TRUE(state.isOn(c.to));
        EXPECT_TRUE(state.backgroundChanged());
        EXPECT_EQ(modes.mode(c.to).id(), c.to);
    }
}

TEST(ViewModes, RadiusChangeReloadsThePoiListInThePoiViewAndTheCamerasElsewhere)
{
    ViewModes modes;
    for (MapView v : session::kAllViews) {
        RecordedSteps steps;
        modes.mode(v).rebuildForRadius(steps);
        modes.mode(v).beforePeriodicReload(steps);
        const Steps expected =
            v == MapView::Poi ? Steps{"loadPoiList", "loadPoiList"} : Steps{"reloadCameras"};
        EXPECT_EQ(steps.done, expected) << int(v);
    }
}

// What each view's repaint holds: the top lines everywhere but in the track
// editor, the dashboard only in the camera view, the strip but in the trail and editor.
TEST(ViewModes, EachViewsSceneHasItsParts)
{
    SceneInput in;
    in.windowWidth = 800;
    in.windowHeight = 600;
    in.windowFill = 0x00123456;
    in.stripText = "$GPRMC";
    const Rect strip{1, 455, 770, 500};
    ViewModes modes;
    for (MapView v : session::kAllViews) {
        const ViewMode& m = modes.mode(v);
        for (bool nothingReceived : {false, true}) {
            in.nothingReceived = nothingReceived;
            const Scene s = composeScene(m, in);
            ASSERT_FALSE(s.items.empty());
            const auto* fill = std::get_if<FillItem>(&s.items.front());
            ASSERT_NE(fill, nullptr);
            EXPECT_EQ(fill->colour, in.windowFill);
            EXPECT_EQ(fill->rect, (Rect{0, 0, 800, 600}));
            // Before the first sentence only the fill, in every view that takes fixes.
            const bool drawn = !nothingReceived;
            EXPECT_EQ(s.hasFrame(boxSpec(BoxId::CameraLine).rect), drawn && v != MapView::TrackEditor)
                << int(v);
            EXPECT_EQ(s.hasFrame(boxSpec(BoxId::Map).rect), drawn && v == MapView::Camera) << int(v);
            EXPECT_EQ(s.hasFrame(strip), drawn && v != MapView::Trail && v != MapView::TrackEditor) << int(v);
            if (v == MapView::TrackEditor) {
                EXPECT_EQ(s.items.size(), 1u);
            }
        }
    }
}
