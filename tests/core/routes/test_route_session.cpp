// The session's views: the route loaded at start-up and its excluded cameras, the route view's scene,
// the agent steps, the POI list following the POI view, the rose's lag, Manual Location and the pointer view.
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "gps/AbsentSerialPort.h"
#include "session/Session.h"
#include "speech/SpeechAgent.h"
#include "support/RecordingPrompt.h"
#include "views/RouteViewScene.h"

using namespace varno;
using views::MapView;
namespace keys = settings::keys;

namespace {

// A session with every default written, the data folder in a scratch folder with a camera file and a
// selected POI file, and a recording agent.
struct SessionViews : ::testing::Test {
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "Route");
        std::filesystem::create_directories(dir.path() / "POI");
        settings.writeDefaults();
        test::writeBytes((dir.path() / "POI" / "a.txt").string(),
                         "-1.0,51.5,Here\n-1.0,51.52,Two km north\n-1.0,52.5,Far\n");
        store.setString(settings::kPoiFilesKey, "POIFile1", "a.txt");
        test::writeBytes(dir.file("VARNOCamera.txt"), "51.40,-1.30,A1,Town,Fixed,GATSO 12,P,30\n"
                                                      "51.41,-1.31,A1,Town,Van,MOBILE,P,40\n");
        settings.write(keys::CameraFile, "C:\\VARNO\\VARNOCamera.txt");
    }

    session::Session& session()
    {
        if (!made)
            made.emplace(session::Session::Deps{.settings = settings,
                                                .prompt = prompt,
                                                .clock = clock,
                                                .port = port,
                                                .dataRoot = dir.path().string(),
                                                .sleep = [](std::chrono::milliseconds) {},
                                                .speechAgent = &agent});
        return *made;
    }

    void at(double lat, double lon)
    {
        session().decoder().Latitude = lat;
        session().decoder().Longitude = lon;
    }
    std::size_t pois() { return session().poiList().points().size(); }

    test::ScratchDir dir;
    settings::SettingsStore store{dir.file("settings.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    FixedClock clock{{.year = 2006, .month = 6, .day = 5, .weekday = 1, .hour = 12, .minute = 0}};
    gps::AbsentSerialPort port;
    speech::RecordingSpeechAgent agent;
    std::optional<session::Session> made;
};

} // namespace

TEST_F(SessionViews, StartUpRouteLoadsAndItsExclusionsSilenceCameras)
{
    test::writeBytes(dir.file("Route/trip.csv"), ";Trip\n: gatso 12 :\n-1.30,51.405,Left,A1\n");
    settings.write(keys::RouteName, "C:\\VARNO\\Route\\trip.csv");
    settings.write(keys::AutoStartRoute, true);
    session().autoStart();
    ASSERT_EQ(session().routes().route().points().size(), 1u);
    // Said at load even with route announcements off, and the cameras wait for their reload.
    EXPECT_EQ(agent.spoken,
              (std::vector<std::string>{"Route country mode", "Route Trip\n", "Has excluded cameras"}));
    EXPECT_EQ(session().cameraReloadCounter(), 0);

    at(51.40, -1.30);
    for (const bool exclude : {true, false}) {
        settings.write(keys::Exclude, exclude);
        session().loadCameraFile();
        const auto& list = session().cameraWarner().store.cameras();
        ASSERT_TRUE(list);
        EXPECT_EQ(list->size(), exclude ? 1u : 2u);
    }

    // SayExcluded off: nothing said.
    agent.spoken.clear();
    settings.write(keys::SayExcluded, false);
    session().routes().reloadCurrent();
    EXPECT_TRUE(agent.spoken.empty());
}

TEST_F(SessionViews, RouteViewDrawsLabelsTextsAndPanelOnlyInALargeEnoughWindow)
{
    test::writeBytes(dir.file("Route/r.csv"), "-1.30,51.41,Turn,A43\n-1.30,51.5,Far,Away\n");
    settings.write(keys::RouteName, "C:\\VARNO\\Route\\r.csv");
    session().routes().reloadCurrent();
    session().toggleView(MapView::Route);
    at(51.40, -1.30);
    session().decoder().GgaHour = 23;
    session().reloadUnits();

    session().road().guidanceStep(750, 600);
    EXPECT_EQ(session().routes().guidance().nearestText(), routes::kNoNearbyPoint);
    EXPECT_TRUE(session().road().buildScene(750, 600, {}).all<views::TextItem>().size() < 10);

    session().road().guidanceStep(751, 461);
    const views::Scene scene = session().road().buildScene(751, 461, {});
    const views::TextItem* label = scene.textAt(1 + 179, 218); // 1112 m north at 4 km: 253 - 34.8, truncated
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text, "* 1 Turn,A43");
    EXPECT_EQ(label->colour, 0xFFFFFFu);
    ASSERT_TRUE(scene.textAt(10, 420));
    EXPECT_EQ(scene.textAt(10, 420)->text, "1 - 1.112 km Turn,A43");
    EXPECT_EQ(scene.textAt(10, 440)->text, "2 - 11.125 km Far,Away");
    EXPECT_EQ(scene.textAt(600, 130)->text, "Lat. 51.400000");
    EXPECT_EQ(scene.textAt(600, 170)->text, "Time 0:00:00"); // UTC 23 h at +1
    EXPECT_EQ(scene.textAt(240, 400)->text, "Map radius 4km");

    // The other views of the route run the step too; the camera view does not.
    session().toggleView(MapView::Route);
    at(51.5, -1.30);
    session().road().guidanceStep(800, 600);
    EXPECT_EQ(session().routes().guidance().nearest(), 0u);
    session().toggleView(MapView::Pointer);
    session().road().guidanceStep(100, 100);
    EXPECT_EQ(session().routes().guidance().nearest(), 1u);
}

TEST_F(SessionViews, EnteringRouteViewsLoadsTheAgentAndF10SwitchesIt)
{
    settings.write(keys::RouteUseMSAgent, true);
    settings.write(keys::RouteMotorway, true);
    session().toggleView(MapView::Trail);
    EXPECT_TRUE(session().routes().agent().loaded());
    EXPECT_EQ(agent.spoken.back(), "Route motorway mode");

    session().routes().toggleAgent(session().routeViewShown());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 0);
    EXPECT_FALSE(session().routes().agent().loaded());
    session().routes().toggleAgent(session().routeViewShown());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 1);
    EXPECT_TRUE(session().routes().agent().loaded());

    // The route view's own item turns it off with the character.
    session().toggleView(MapView::Route);
    EXPECT_TRUE(session().routes().agent().loaded());
    session().toggleView(MapView::Route);
    EXPECT_FALSE(session().routes().agent().loaded());
    EXPECT_EQ(session().cameraReloadCounter(), 71);

    // Outside the route views F10 loads and unloads without touching the setting.
    session().routes().toggleAgent(session().routeViewShown());
    session().showCameraMap();
    session().routes().toggleAgent(session().routeViewShown());
    EXPECT_FALSE(session().routes().agent().loaded());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 1);
}

TEST_F(SessionViews, ThePoiListLivesWithThePoiViewAndFollowsTheRadius)
{
    session().toggleView(MapView::Poi);
    EXPECT_FALSE(session().poiList().held()) << "no fix: nothing loaded";
    session().moveFixTo(51.5, -1.0);
    session().showPoiAlways();
    EXPECT_EQ(pois(), 2u);
    EXPECT_EQ(session().cameraReloadCounter(), 0);
    // 4 km, then smaller until the POI 2.2 km north drops out.
    while (session().mapRadius() > 2000 && session().zoomIn()) {
    }
    EXPECT_EQ(pois(), 1u);
    session().zoomOut();
    session().zoomOut();
    EXPECT_EQ(pois(), 2u);
    // Leaving by the toggle frees the list.
    session().toggleView(MapView::Poi);
    EXPECT_FALSE(session().poiList().held());
    // The dialog closing in another view reloads the cameras, not the POIs.
    session().afterSelectPoiFiles();
    EXPECT_FALSE(session().poiList().held());
    // A selected file that went away stops the load with its message.
    session().showPoiAlways();
    std::filesystem::remove(dir.path() / "POI" / "a.txt");
    prompt.shown.clear();
    session().afterSelectPoiFiles();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(prompt.shown[0].text.starts_with("Error can't open the POI location file\n"));
    EXPECT_EQ(pois(), 0u);
}

TEST_F(SessionViews, ManualLocationMutesMovesAndRestores)
{
    settings.write(keys::RouteUseMSAgent, true);
    session().decoder().Course = 123.0;
    session().beginManualLocation();
    EXPECT_TRUE(session().muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 0);
    EXPECT_EQ(session().decoder().Course, 0.0);
    session().moveFixTo(51.6, -1.1);
    EXPECT_EQ(session().decoder().fix().position, geo::LatLon(51.6, -1.1));
    session().endManualLocation();
    EXPECT_FALSE(session().muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 1);

    // Muted before stays muted; route speech off stays off.
    settings.write(keys::RouteUseMSAgent, false);
    session().toggleMute();
    session().beginManualLocation();
    session().endManualLocation();
    EXPECT_TRUE(session().muted());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 0);
}

TEST_F(SessionViews, TheRoseTurnsOneStepADrawOnlyInTheHeadingViews)
{
    session().decoder().Course = 90.0;
    session().decoder().SpeedKnots = 10.0;
    session().road().prepareDraw();
    EXPECT_EQ(session().road().displayedHeading(), 0.0) << "the camera view has no rose";
    session().toggleView(MapView::Compass);
    session().road().prepareDraw();
    session().road().prepareDraw();
    EXPECT_EQ(session().road().displayedHeading(), 67.5);
    const views::Scene scene = session().road().buildScene(800, 600, {});
    EXPECT_TRUE(scene.textAt(330, 280 + 122)) << "the compass draws its course text";
}

// The pointer view draws what the route guidance step found: the nearest and next texts and the labels.
TEST_F(SessionViews, ThePointerViewShowsTheGuidanceOfTheDraw)
{
    test::writeBytes((dir.path() / "Route" / "trip.csv").string(),
                     "-1.0,51.49,Behind,A1\n-1.0,51.505,Ahead,A2\n-1.0,51.52,Further,A3\n");
    session().routes().load("C:\\VARNO\\Route\\trip.csv");
    session().moveFixTo(51.5, -1.0);
    session().toggleView(MapView::Pointer);
    session().road().guidanceStep(800, 600);
    session().road().prepareDraw();
    const views::Scene scene = session().road().buildScene(800, 600, {});
    const views::TextItem* nearest = scene.textAt(270, 300 + 122);
    ASSERT_TRUE(nearest);
    EXPECT_EQ(nearest->text, session().routes().guidance().nearestText());
    EXPECT_NE(nearest->text.find("Ahead"), std::string::npos) << nearest->text;
    // "Ahead" 556 m north: 17 pixels above the mini map's centre.
    const int y = static_cast<int>(169 - (51.505 - 51.5) * 111248.4 * 125 / 4000) + 122;
    bool labelled = false;
    for (const views::TextItem* t : scene.textsIn({495, y, 750, y + 1}))
        labelled = labelled || t->text.find("Ahead") != std::string::npos;
    EXPECT_TRUE(labelled);
}
