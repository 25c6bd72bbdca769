// Average-speed zones: starting at a specs camera, running between cameras, trip mode and resets.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/cameras/CameraTestKit.h"

using namespace varno;
using namespace varno::cameras;

namespace {

constexpr double kALat = 51.5;
constexpr double kLon = -0.12;

// Specs camera A, and B 2000 m north of it on the same road; average speed on.
struct SpecsFixture : ::testing::Test, test::WarnerRig {
    int clock = 10 * 3600; // [s] UTC time of the next fix

    SpecsFixture()
        : WarnerRig(test::cameraLine(kALat, kLon, "SPECS") +
                        test::cameraLine(test::northOf(kALat, 2000), kLon, "Specs"),
                    kLon)
    {
        settings.set(settings::keys::AverageSpeed, 1);
        specs().reset();
    }
    // A fix metresNorth of camera A, `seconds` after the previous one.
    void at(double metresNorth, int seconds = 1)
    {
        clock += seconds;
        fix.GgaHour = static_cast<std::uint8_t>(clock / 3600 % 24);
        fix.GgaMinute = static_cast<std::uint8_t>(clock / 60 % 60);
        fix.GgaSecond = static_cast<std::uint8_t>(clock % 60);
        fix.Latitude = test::northOf(kALat, metresNorth);
        warner->UpdateCameraWarnings(fix.fix());
    }
    int specsPlayed() const
    {
        auto f = player.files();
        return static_cast<int>(std::count(f.begin(), f.end(), "Specs.wav"));
    }
    AverageSpeed& specs() { return warner->specs; }
};

} // namespace

TEST_F(SpecsFixture, MeasurementStartsWhenPassingTheFirstCamera)
{
    at(-400);
    EXPECT_FALSE(specs().inZone);
    at(-299);
    EXPECT_TRUE(specs().inZone);
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    // Closing in restarts the clock.
    at(-150);
    at(-10);
    EXPECT_EQ(specsPlayed(), 0);
    // Past the camera, moving away: 60 m in 1 s from the last restart.
    at(50);
    EXPECT_EQ(specs().line, "T 1, D 60, Av 134 mph");
    EXPECT_EQ(specsPlayed(), 1);
    at(110);
    EXPECT_EQ(specs().line, "T 2, D 120, Av 134 mph");
    EXPECT_EQ(specsPlayed(), 1); // once only

    warner->speedUnits = 1;
    at(170);
    EXPECT_EQ(specs().line, "Average speed 216 kph");
    warner->speedUnits = 2;
    at(230);
    EXPECT_EQ(specs().line, "Average speed 117 knots");
}

TEST_F(SpecsFixture, NoElapsedTimeShowsNoAverage)
{
    at(-299);
    at(-10);
    at(50, 0); // same second: no average to divide out
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    EXPECT_EQ(specsPlayed(), 0);
    at(110, 1);
    EXPECT_EQ(specs().line.rfind("T 1, D 120", 0), 0u);
    EXPECT_EQ(specsPlayed(), 1);
}

// The fix gives the UTC time of day only: the clock must run on across
// midnight, while a fix that goes back a little is still no time passed.
TEST_F(SpecsFixture, ElapsedTimeRunsOnAcrossMidnightUtc)
{
    clock = 24 * 3600 - 4;
    at(-299);
    at(-10); // 23:59:58: the clock restarts here
    at(50);
    EXPECT_EQ(specs().line, "T 1, D 60, Av 134 mph");
    at(110, 4); // 00:00:03
    EXPECT_EQ(specs().line, "T 5, D 120, Av 54 mph");
    at(170, -6); // the receiver's time went back before the start: no average
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    at(230, 6); // 00:00:03 again
    EXPECT_EQ(specs().line, "T 5, D 240, Av 107 mph");

    // A trip meter over a night: fixes every three hours from 20:00.
    useCameras(test::cameraLine(kALat, kLon, "GATSO"));
    warner->forceReload();
    clock = 20 * 3600;
    at(-3000, 0);
    warner->spaceKey(fix.fix());
    for (int i = 1; i <= 5; ++i)
        at(-3000 + 1609 * i, 3 * 3600);
    EXPECT_EQ(specs().line, "Trip T 54000, D 8045, Av 0 mph");
}

TEST_F(SpecsFixture, NextCameraTakesOverAndTinyMovesAreIgnored)
{
    for (double m : {-299.0, -10.0, 50.0, 1100.0})
        at(m, 10);
    // B (900 m ahead) is nearest now: the running measurement continues.
    EXPECT_NEAR(specs().totalDistance, 1110, 1e-3);
    at(1101.5, 10); // 1.5 m: nothing changes, the fix is not even kept
    EXPECT_NEAR(specs().totalDistance, 1110, 1e-3);
    at(1103, 10); // 3 m from the kept position
    EXPECT_NEAR(specs().totalDistance, 1113, 1e-3);

    // Within 200 m of B it becomes the zone camera and the count restarts.
    at(1850, 10);
    EXPECT_NEAR(specs().zone.latDeg(), test::northOf(kALat, 2000), 1e-9);
    EXPECT_EQ(specs().totalDistance, 0.0);
}

TEST_F(SpecsFixture, HandStartRunsAsATripMeterWithoutSpecsCameras)
{
    useCameras(test::cameraLine(kALat, kLon, "GATSO"));
    warner->forceReload();
    fix.Latitude = 0.0;
    warner->spaceKey(fix.fix());
    EXPECT_EQ(specs().line, "No position, can't set Specs start.");
    at(-3000);
    warner->spaceKey(fix.fix());
    EXPECT_TRUE(specs().manual);
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    at(-3000 + 1609, 60);
    EXPECT_EQ(specs().line, "Trip T 60, D 1609, Av 60 mph");
    // The space key again ends it.
    warner->spaceKey(fix.fix());
    EXPECT_EQ(specs().line, "");
}

TEST_F(SpecsFixture, NoCameraWithinTenKilometresResets)
{
    for (double m : {-299.0, -10.0, 50.0})
        at(m);
    ASSERT_TRUE(specs().inZone);
    warner->forceReload();
    at(15000);
    EXPECT_FALSE(specs().inZone);
    EXPECT_EQ(specs().line, "");
    // Specs without listed specs cameras and no hand start resets as well.
    useCameras(test::cameraLine(kALat, kLon, "GATSO"));
    warner->forceReload();
    at(-3000);
    warner->spaceKey(fix.fix());
    specs().manual = false;
    at(-2990);
    EXPECT_FALSE(specs().inZone);
}

TEST_F(SpecsFixture, OptionsDialogStoresTheChoice)
{
    EXPECT_TRUE(specs().storeDialogChoice(false));
    EXPECT_EQ(settings.get(settings::keys::AverageSpeed), settings::Value::dword(0u));
    specs().reset();
    at(-299);
    EXPECT_FALSE(specs().inZone); // off: not run at all
    settings.failWrites(true);
    EXPECT_FALSE(specs().storeDialogChoice(true));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"An error occurred setting the registry value\n"
                                                       "HKEY_CURRENT_USER\nSoftware\\VARNO\\AverageSpeed"});
}
