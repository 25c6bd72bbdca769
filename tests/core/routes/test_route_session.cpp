// Routes in the session: loading at start-up, excluded cameras, the route view's scene and the agent steps.
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
using session::MapView;
namespace keys = settings::keys;

namespace {

// A session with every default written, the data folder in a scratch folder and a recording agent.
struct RouteSession : ::testing::Test {
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "Route");
        settings.writeDefaults();
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

TEST_F(RouteSession, StartUpRouteLoadsAndItsExclusionsSilenceCameras)
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

TEST_F(RouteSession, RouteViewDrawsLabelsTextsAndPanelOnlyInALargeEnoughWindow)
{
    test::writeBytes(dir.file("Route/r.csv"), "-1.30,51.41,Turn,A43\n-1.30,51.5,Far,Away\n");
    settings.write(keys::RouteName, "C:\\VARNO\\Route\\r.csv");
    session().routes().reloadCurrent();
    session().toggleView(MapView::Route);
    at(51.40, -1.30);
    session().decoder().GgaHour = 23;
    session().reloadUnits();

    session().guidanceStep(750, 600);
    EXPECT_EQ(session().routes().guidance().nearestText(), routes::kNoNearbyPoint);
    EXPECT_TRUE(session().buildScene(750, 600, {}).all<views::TextItem>().size() < 10);

    session().guidanceStep(751, 461);
    const views::Scene scene = session().buildScene(751, 461, {});
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
    session().guidanceStep(800, 600);
    EXPECT_EQ(session().routes().guidance().nearest(), 0u);
    session().toggleView(MapView::Pointer);
    session().guidanceStep(100, 100);
    EXPECT_EQ(session().routes().guidance().nearest(), 1u);
}

TEST_F(RouteSession, EnteringRouteViewsLoadsTheAgentAndF10SwitchesIt)
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

    // Outside the route views F10 loads and unloads without touching the setting.
    session().showCameraMap();
    session().routes().toggleAgent(session().routeViewShown());
    EXPECT_FALSE(session().routes().agent().loaded());
    EXPECT_EQ(settings.read(keys::RouteUseMSAgent), 1);
}
