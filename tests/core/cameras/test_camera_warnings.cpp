// The per-fix warning rule, the voice catalogue, mute and Mark Location.
#include <gtest/gtest.h>

#include <cmath>

#include "cameras/CameraDistance.h"
#include "cameras/MarkLocation.h"
#include "core/cameras/CameraTestKit.h"
#include "core/gps/test_nmea_sentence.h"
#include "gps/Intake.h"
#include "gps/LogReplay.h"

using namespace varno;
using namespace varno::cameras;
using Files = std::vector<std::string>;

namespace {

constexpr double kCamLat = 51.5;
constexpr double kCamLon = -0.12;

struct WarnerFixture : ::testing::Test, test::WarnerRig {
    WarnerFixture() : WarnerRig("51.5,-0.12,A1,Town,Hazard,GATSO,P,30\n", kCamLon) {}
    // One fix d metres south of the camera.
    void at(double d)
    {
        fix.Latitude = kCamLat - d / geo::kMetresPerDegreeNorth;
        warner->UpdateCameraWarnings(fix.fix());
    }
    // What the fixes at these distances announce.
    Files drive(std::initializer_list<double> distances)
    {
        player.played.clear();
        for (double d : distances)
            at(d);
        return player.files();
    }
    void reload(const std::string& cameras)
    {
        useCameras(cameras);
        warner->forceReload();
    }
};

} // namespace

TEST_F(WarnerFixture, FirstFixLoadsThenWarnsOnlyForTheBandItEndsIn)
{
    // The list is loaded before the search of the same fix; 2000 -> 0 in one
    // pass announces "0.wav" alone.
    EXPECT_EQ(drive({50}), Files{"0.wav"});
    EXPECT_EQ(player.played[0], dir.file("root") + "/Voice/0.wav");
    EXPECT_EQ(warner->panel.camera, "50m GATSO");
    EXPECT_EQ(warner->panel.speedLimit, "30");
    EXPECT_EQ(warner->panel.road, "A1");
}

TEST_F(WarnerFixture, ApproachAnnouncesEachBandOnce)
{
    player.played.clear();
    for (double d = 2500; d >= 0; d -= 50)
        at(d);
    EXPECT_EQ(player.files(), (Files{"1500.wav", "1000.wav", "900.wav", "800.wav", "700.wav", "600.wav",
                                     "500.wav", "400.wav", "300.wav", "200.wav", "0.wav"}));
    // Standing still at the camera says nothing more.
    EXPECT_EQ(drive({0, 10, 20}), Files{});
}

TEST_F(WarnerFixture, BandEdgesAreStrict)
{
    // Near the equator the fix latitude has fine enough steps to find a fix
    // exactly 1000 m from the camera.
    reload("0.02,10,A1,,,GATSO,,\n");
    fix.Longitude = 10;
    auto atLat = [&](double lat) {
        player.played.clear();
        fix.Latitude = lat;
        warner->UpdateCameraWarnings(fix.fix());
    };
    atLat(0.02 - 1050 / geo::kMetresPerDegreeNorth);
    ASSERT_EQ(warner->WarningStep, 1000.0);
    double lat = 0.02 - 1000 / geo::kMetresPerDegreeNorth;
    std::optional<double> exact;
    for (int i = 0; i < 1000 && !exact; ++i, lat = std::nextafter(lat, 0.0))
        if (CameraDistance(geo::LatLon(0.02, 10), geo::LatLon(lat, 10)) == 1000.0)
            exact = lat;
    ASSERT_TRUE(exact);
    atLat(*exact);
    EXPECT_EQ(player.files(), Files{});
    atLat(0.02 - 999 / geo::kMetresPerDegreeNorth);
    EXPECT_EQ(player.files(), Files{"1000.wav"});
}

TEST_F(WarnerFixture, RecedingRaisesTheStepSilentlyAndTurningBackWarnsAgain)
{
    drive({50});
    EXPECT_EQ(drive({150, 250, 350}), Files{});
    EXPECT_EQ(warner->WarningStep, 300.0);
    EXPECT_EQ(drive({280}), Files{"300.wav"});
}

TEST_F(WarnerFixture, ANewNearestCameraKeepsTheStep)
{
    // A second camera 600 m beyond the first, on the same road.
    reload("51.5,-0.12,A1,,,FIRST,,\n51.505393258,-0.12,A1,,,SECOND,,\n");
    drive({150});
    ASSERT_EQ(warner->WarningStep, 100.0);
    // 400 m past the first camera the second is nearest at 200 m: the step
    // stays at 100 and nothing is announced for the new camera...
    EXPECT_EQ(drive({-400, -460}), Files{});
    EXPECT_EQ(warner->panel.type, "SECOND");
    // ...until its distance falls below that step.
    EXPECT_EQ(drive({-520}), Files{"0.wav"});
}

TEST_F(WarnerFixture, NoCamerasInRangeResetsToTwentyTwoHundred)
{
    reload("51.5,-0.12,A1,Town,Hazard,GATSO,P,30\n51.55,-0.12,,,,FAR,,\n");
    drive({50});
    // Move 12 km away: only the far camera's 4 km neighbourhood remains... none.
    warner->forceReload();
    at(12000);
    EXPECT_EQ(warner->panel.camera, "No cameras are in the map area");
    EXPECT_EQ(warner->WarningStep, 2200.0);
    warner->forceReload();
    EXPECT_EQ(drive({2100, 1900, 1450}), Files{"1500.wav"});
}

TEST_F(WarnerFixture, ListIsReloadedEverySixtySecondFix)
{
    drive({3000});
    useCameras("51.5,-0.12,A1,Town,Hazard,MOVED,P,30\n");
    for (int i = 0; i < 61; ++i)
        at(3000);
    EXPECT_NE(warner->panel.type, "MOVED");
    at(3000); // the 62nd fix reloads
    EXPECT_EQ(warner->panel.type, "MOVED");
}

TEST_F(WarnerFixture, AReplayShowsAFailedLoadOnceWhereTheLiveDriveShowsEveryOne)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
    const std::string failure = "Error can't open the camera location file\n" + dir.file("missing.txt") +
                                "\nPlease check the setup/registry.";
    std::string log;
    for (int i = 0; i < 107; ++i)
        log += test::nmea(fmt::sprintf("GPGGA,1200%02d,5130.000,N,00007.200,W,1,08,1.0,5.0,M,,M,,", i % 60)) +
               "\r\n";
    test::writeBytes(dir.file("drive.nmea"), log);

    gps::SentenceMailbox mailbox;
    gps::LogReplay::Callbacks cb;
    cb.repaint = [&] { gps::intakeSentence(fix, *mailbox.take()); };
    cb.runCameraLogic = [&] { warner->UpdateCameraWarnings(fix.fix()); };
    cb.waitTick = [](std::chrono::milliseconds) {};
    cb.replayStarted = [&] { warner->replayStarted(); };
    cb.finished = [&] { warner->replayEnded(); };
    gps::LogReplay replay(mailbox, prompt, cb);
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(replay.start(dir.file("drive.nmea"), 1, {.showNotice = false, .reportEnd = false}));
        replay.join();
        EXPECT_EQ(prompt.texts(), Files(run, failure)) << "after replay " << run;
    }

    // Fixes from the receiver: each failure is shown (the GPS stops after it).
    at(3000);
    at(3000);
    EXPECT_EQ(prompt.texts().size(), 4u);
}

TEST_F(WarnerFixture, NothingHappensWhileBusyOrWithoutAPosition)
{
    drive({3000});
    auto before = warner->panel;
    double step = warner->WarningStep;
    warner->store.CameraListBusy = true;
    EXPECT_EQ(drive({50}), Files{});
    EXPECT_EQ(warner->store.CameraReloadCount, 0); // not even counted
    warner->store.CameraListBusy = false;
    fix.Latitude = 0.0;
    warner->UpdateCameraWarnings(fix.fix());
    EXPECT_EQ(warner->panel, before);
    EXPECT_EQ(warner->WarningStep, step);
}

TEST_F(WarnerFixture, PanelLinesAreCutToTheirCapacity)
{
    reload("51.5,-0.12,A1,Town,A hazard that is long enough to be cut at fifty-seven chars,"
           "A camera type of 25 chars and more,P,30\n");
    at(1234.4);
    EXPECT_EQ(warner->panel.camera, "1234m A camera type of 25 chars");
    EXPECT_EQ(warner->panel.hazard.size(), 57u);
}

TEST_F(WarnerFixture, VoiceCatalogueAndMute)
{
    Voice& v = warner->voice;
    v.PlayVoice("Specs.wav");
    v.PlayVoice("Bogus.wav");
    v.SayDistance(1200);
    v.SayDistance(100.9);
    v.SayDistance(2000);
    EXPECT_EQ(player.files(), (Files{"Specs.wav", "invalid.wav", "100.wav", "2000.wav"}));

    player.played.clear();
    v.toggleMute();
    v.PlayVoice("Bogus.wav");
    v.SayDistance(0);
    v.toggleMute();
    EXPECT_EQ(player.files(), (Files{"Mute.wav", "Unmute.wav"}));

    // An unreadable folder plays nothing; a missing value says so.
    settings.erase(settings::keys::VoiceFolder);
    player.played.clear();
    v.PlayVoice("0.wav");
    EXPECT_TRUE(player.played.empty());
    EXPECT_EQ(prompt.texts(), Files{"Unable read the voice folder file name from the registry."});
}

TEST_F(WarnerFixture, MarkLocation)
{
    FixedClock clock({2006, 6, 5, 1, 7, 3, 9});
    settings.set(settings::keys::MarkFile, "C:\\VARNO\\Marks.txt");
    const std::string root = dir.file("root");
    std::filesystem::create_directories(root);
    EXPECT_FALSE(markLocation(settings, prompt, root, clock, geo::LatLon::ofFix(0.0, -0.12)));
    EXPECT_TRUE(prompt.shown.empty());

    EXPECT_TRUE(markLocation(settings, prompt, root, clock, geo::LatLon(51.5, -0.12)));
    EXPECT_TRUE(markLocation(settings, prompt, root, clock, geo::LatLon(51.25, 1.5)));
    EXPECT_EQ(test::readBytes(dir.file("root/Marks.txt")),
              "51.500000,-0.120000,Mon Jun  5 07:03:09 2006,,,,, \r\n"
              "51.250000,1.500000,Mon Jun  5 07:03:09 2006,,,,, \r\n");

    settings.set(settings::keys::MarkFile, dir.file("no/such/folder/m.txt"));
    EXPECT_FALSE(markLocation(settings, prompt, "", clock, geo::LatLon(51.5, -0.12)));
    settings.erase(settings::keys::MarkFile);
    EXPECT_FALSE(markLocation(settings, prompt, "", clock, geo::LatLon(51.5, -0.12)));
    EXPECT_EQ(prompt.texts(),
              (Files{"Error can't open the marked spot file\n" + dir.file("no/such/folder/m.txt") +
                         "\nPlease check the setup/registry.",
                     "Unable read the mark file name from the registry.",
                     "Error can't get the marked spot filename from the registry.\nPlease check the "
                     "setup/registry."}));
}
