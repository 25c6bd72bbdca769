// Session: the POI list follows the POI view, the radius and the periodic reload; the rose's
// lag steps once a draw; Manual Location moves the fix and puts back what it changed.
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "gps/AbsentSerialPort.h"
#include "session/Session.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using session::MapView;
namespace keys = settings::keys;

namespace {

struct SessionPoi : ::testing::Test {
    SessionPoi()
    {
        std::filesystem::create_directories(dir.path() / "POI");
        settings.writeDefaults();
        test::writeBytes((dir.path() / "POI" / "a.txt").string(),
                         "-1.0,51.5,Here\n-1.0,51.52,Two km north\n-1.0,52.5,Far\n");
        store.setString(settings::kPoiFilesKey, "POIFile1", "a.txt");
        s.emplace(session::Session::Deps{settings, prompt, clock, port, dir.path().string(),
                                         [](std::chrono::milliseconds) {}});
    }
    std::size_t pois() const { return s->poiList().points().size(); }

    test::ScratchDir dir;
    settings::SettingsStore store{dir.file("settings.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    FixedClock clock{LocalTime{.year = 2006, .month = 6, .day = 5, .hour = 12}};
    gps::AbsentSerialPort port;
    std::optional<session::Session> s;
};

TEST_F(SessionPoi, ThePoiListLivesWithThePoiViewAndFollowsTheRadius)
{
    s->toggleView(MapView::Poi);
    EXPECT_FALSE(s->poiList().held()) << "no fix: nothing loaded";
    s->moveFixTo(51.5, -1.0);
    s->showPoiAlways();
    EXPECT_EQ(pois(), 2u);
    EXPECT_EQ(s->cameraReloadCounter(), 0);
    // 4 km, then smaller until the POI 2.2 km north drops out.
    while (s->mapRadius() > 2000 && s->zoomIn()) {
    }
    EXPECT_EQ(pois(), 1u);
    s->zoomOut();
    s->zoomOut();
    EXPECT_EQ(pois(), 2u);
    // Leaving by the toggle frees the list.
    s->toggleView(MapView::Poi);
    EXPECT_FALSE(s->poiList().held());
    // The dialog closing in another view reloads the cameras, not the POIs.
    s->afterSelectPoiFiles();
    EXPECT_FALSE(s->poiList().held());
    // A selected file that went away stops the load with its message.
    s->showPoiAlways();
    std::filesystem::remove(dir.path() / "POI" / "a.txt");
    prompt.shown.clear();
    s->afterSelectPoiFiles();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(prompt.shown[0].text.starts_with("Error can't open the POI location file\n"));
    EXPECT_EQ(pois(), 0u);
}

TEST_F(SessionPoi, ManualLocationMutesMovesAndRestores)
{
    settings.write(keys::RouteUseMSAgent, true);
    s->decoder().Course = 123.0;
    s->beginManualLocation();
    EXPECT_TRUE(s->muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 0);
    EXPECT_EQ(s->decoder().Course, 0.0);
    s->moveFixTo(51.6, -1.1);
    EXPECT_EQ(s->decoder().fix().position, geo::LatLon(51.6, -1.1));
    s->endManualLocation();
    EXPECT_FALSE(s->muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 1);

    // Muted before stays muted; route speech off stays off.
    settings.write(keys::RouteUseMSAgent, false);
    s->toggleMute();
    s->beginManualLocation();
    s->endManualLocation();
    EXPECT_TRUE(s->muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 0);
}

TEST_F(SessionPoi, TheRoseTurnsOneStepADrawOnlyInTheHeadingViews)
{
    s->decoder().Course = 90.0;
    s->decoder().SpeedKnots = 10.0;
    s->prepareDraw();
    EXPECT_EQ(s->displayedHeading(), 0.0) << "the camera view has no rose";
    s->toggleView(MapView::Compass);
    s->prepareDraw();
    s->prepareDraw();
    EXPECT_EQ(s->displayedHeading(), 67.5);
    const views::Scene scene = s->buildScene(800, 600, {});
    EXPECT_TRUE(scene.textAt(330, 280 + 122)) << "the compass draws its course text";
}

// The pointer view draws what the route guidance step found: the nearest and next texts and the labels.
TEST_F(SessionPoi, ThePointerViewShowsTheGuidanceOfTheDraw)
{
    std::filesystem::create_directories(dir.path() / "Route");
    test::writeBytes((dir.path() / "Route" / "trip.csv").string(),
                     "-1.0,51.49,Behind,A1\n-1.0,51.505,Ahead,A2\n-1.0,51.52,Further,A3\n");
    s->routes().load("C:\\VARNO\\Route\\trip.csv");
    s->moveFixTo(51.5, -1.0);
    s->toggleView(MapView::Pointer);
    s->guidanceStep(800, 600);
    s->prepareDraw();
    const views::Scene scene = s->buildScene(800, 600, {});
    const views::TextItem* nearest = scene.textAt(270, 300 + 122);
    ASSERT_TRUE(nearest);
    EXPECT_EQ(nearest->text, s->routes().guidance().nearestText());
    EXPECT_NE(nearest->text.find("Ahead"), std::string::npos) << nearest->text;
    // "Ahead" 556 m north: 17 pixels above the mini map's centre.
    const int y = static_cast<int>(169 - (51.505 - 51.5) * 111248.4 * 125 / 4000) + 122;
    bool labelled = false;
    for (const views::TextItem* t : scene.textsIn({495, y, 750, y + 1}))
        labelled = labelled || t->text.find("Ahead") != std::string::npos;
    EXPECT_TRUE(labelled);
}

} // namespace
