// The driver aids on generated drives: announcements only towards a camera ahead, the chime while over a
// nearby camera's limit, and the coach whose advice ends an average-speed section at the limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <fmt/printf.h>

#include "base/Numbers.h"
#include "cameras/CameraWarner.h"
#include "cameras/DriverAids.h"
#include "core/base/ScratchFiles.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"

using namespace varno;
using namespace varno::cameras;
using Files = std::vector<std::string>;

namespace {

constexpr double kCamLat = 51.5;
constexpr double kCamLon = -0.12;
constexpr double kMph = 1.15077945; // knots to mph

struct Player final : VoicePlayer {
    void play(const std::string& path) override { played.push_back(path.substr(path.rfind('/') + 1)); }
    Files played;
};

// A warner over a camera file of cameras given in metres east and north of (kCamLat, kCamLon).
struct AidRig {
    test::ScratchDir dir;
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    Player player;
    gps::CNmeaDecoder fix;
    std::unique_ptr<CameraWarner> warner;
    int clock = 10 * 3600; // [s] UTC time of the next fix
    std::vector<int> chimeTimes;

    struct Cam {
        double east, north;
        const char* type;
        const char* limit;
        const char* hazard = "";
    };
    AidRig(std::initializer_list<Cam> cams, AidSwitches aids)
    {
        std::string text;
        for (const Cam& c : cams)
            text += fmt::sprintf("%.9f,%.9f,A1,Town,%s,%s,P,%s\n", lat(c.north), lon(c.east), c.hazard,
                                 c.type, c.limit);
        test::writeBytes(dir.file("cams.txt"), text);
        settings.set(settings::keys::CameraFile, dir.file("cams.txt"));
        settings.set(settings::keys::VoiceFolder, "C:\\VARNO\\Voice");
        settings.set(settings::keys::MapScale, 4000);
        warner = std::make_unique<CameraWarner>(settings, prompt, player, dir.file("root"));
        warner->aids.on = aids;
    }
    static double lat(double north) { return kCamLat + north / geo::kMetresPerDegreeNorth; }
    static double lon(double east)
    {
        return kCamLon + east / (geo::kMetresPerDegreeEast * std::cos(kCamLat * geo::kDegToRad));
    }
    // One fix at (east, north) moving at mph on a course, `seconds` after the previous one.
    void at(double east, double north, double mph, double course, int seconds = 1)
    {
        clock += seconds;
        fix.GgaHour = static_cast<std::uint8_t>(clock / 3600 % 24);
        fix.GgaMinute = static_cast<std::uint8_t>(clock / 60 % 60);
        fix.GgaSecond = static_cast<std::uint8_t>(clock % 60);
        fix.Latitude = lat(north);
        fix.Longitude = lon(east);
        fix.SpeedKnots = mph / kMph;
        fix.Course = course;
        const std::size_t before = player.played.size();
        warner->UpdateCameraWarnings(fix.fix());
        if (std::count(player.played.begin() + std::ptrdiff_t(before), player.played.end(), "Chime.wav"))
            chimeTimes.push_back(clock);
    }
};

struct Step {
    double east, north, mph, course;
};

Files drive(const std::vector<Step>& steps, AidSwitches aids, const char* hazard = "")
{
    AidRig rig({{0, 0, "GATSO", "30", hazard}}, aids);
    for (const Step& s : steps)
        rig.at(s.east, s.north, s.mph, s.course);
    return rig.player.played;
}

std::vector<Step> line(double east, double fromNorth, double toNorth, double step, double mph)
{
    std::vector<Step> out;
    const double course = toNorth >= fromNorth ? 0.0 : 180.0;
    for (double n = fromNorth; toNorth >= fromNorth ? n <= toNorth : n >= toNorth;
         n += toNorth >= fromNorth ? step : -step)
        out.push_back({east, n, mph, course});
    return out;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(DirectionAid, SilencesOnlyCamerasNotAheadOfAVehicleWithAKnownCourse)
{
    const AidSwitches direction{true, false, false};
    // Fixes at every 100 m mark's middle: each band is announced, the one below 100 m as "0.wav".
    const Files kTowards = {"1000.wav", "900.wav", "800.wav", "700.wav", "600.wav",
                            "500.wav",  "400.wav", "300.wav", "200.wav", "0.wav"};
    const struct {
        const char* drive;
        std::vector<Step> steps;
        Files off, on;
    } cases[] = {
        // Straight at it: the aid changes nothing.
        {"towards", line(0, -1250, -50, 100, 40), kTowards, kTowards},
        // The list loads with the camera just behind: the first fix lands in the nearest band.
        {"behind at start", line(0, 60, 400, 100, 40), {"0.wav"}, {}},
        // Past it, a U-turn, and back: only the way back towards it is announced again, from the
        // band it is in when it comes ahead.
        {"u-turn",
         line(0, 40, 440, 100, 40) + line(0, 440, 140, 100, 40),
         {"0.wav", "400.wav", "300.wav", "200.wav"},
         {"500.wav", "400.wav", "300.wav", "200.wav"}},
        // A camera on a road 90 m across: the last band comes when it is beside, not ahead.
        {"beside",
         line(90, -350, 350, 50, 40),
         {"400.wav", "300.wav", "200.wav", "0.wav"},
         {"400.wav", "300.wav", "200.wav"}},
        // Standing in front of it: no course to trust, so warned as without the aid.
        {"standing", {{0, -50, 0, 0}}, {"0.wav"}, {"0.wav"}},
        // A receiver that sends no speed or course (GGA only): the heading is
        // unknown, and every camera is warned of as without the aid.
        {"no course, towards", line(0, -1250, -50, 100, 0), kTowards, kTowards},
        {"no course, behind at start", line(0, 60, 400, 100, 0), {"0.wav"}, {"0.wav"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drive(c.steps, {}), c.off) << c.drive;
        EXPECT_EQ(drive(c.steps, direction), c.on) << c.drive;
    }
    // A camera watching the other carriageway (traffic going south) stays silent for a northbound
    // driver; one watching within 90 degrees of the course is announced.
    EXPECT_EQ(drive(line(0, -450, -50, 100, 40), direction, "Direction 180"), Files{});
    EXPECT_EQ(drive(line(0, -450, -50, 100, 40), direction, "Direction 80"),
              drive(line(0, -450, -50, 100, 40), direction));

    // The ±60° edge, across north, and the 5 km/h floor.
    gps::Fix f{.position = {0.0, 0.0}, .speedKnots = 10, .courseDeg = 350};
    EXPECT_TRUE(headingTowards(f, {1.0, std::tan(49.9 * geo::kDegToRad)})); // 59.9° off course
    EXPECT_FALSE(headingTowards(f, {1.0, std::tan(51 * geo::kDegToRad)}));  // 61° off
    f.speedKnots = 5.0 / 1.852;
    EXPECT_FALSE(headingTowards(f, {1.0, 0.0}));
}

TEST(ChimeAid, RepeatsEveryThreeSecondsWhileOverTheLimitWithin500Metres)
{
    const AidSwitches chime{false, true, false};
    // 40 mph past a 30 mph camera, one fix a second (17.9 m).
    AidRig rig({{0, 0, "GATSO", "30"}}, chime);
    std::vector<int> inRange;
    const double step = 40 * 1609.344 / 3600;
    for (double n = -800; n <= 800; n += step) {
        rig.at(0, n, 40, 0);
        EXPECT_EQ(rig.warner->aids.overLimit, std::fabs(n) <= 500) << n;
        if (std::fabs(n) <= 500)
            inRange.push_back(rig.clock);
    }
    ASSERT_FALSE(inRange.empty());
    std::vector<int> want;
    for (int t = inRange.front(); t <= inRange.back(); t += 3)
        want.push_back(t);
    EXPECT_EQ(rig.chimeTimes, want);

    // At the limit, over it beyond 500 m, a camera without a limit: silent. In km/h a 50 limit at 55 chimes.
    AidRig quiet({{0, 0, "GATSO", "30"}, {0, 3000, "GATSO", ""}}, chime);
    quiet.at(0, -400, 30, 0);
    quiet.at(0, -600, 60, 0);
    quiet.at(0, 2800, 60, 0);
    EXPECT_TRUE(quiet.chimeTimes.empty());
    EXPECT_FALSE(quiet.warner->aids.overLimit);
    AidRig kph({{0, 0, "GATSO", "50"}}, chime);
    kph.warner->speedUnits = 1;
    kph.at(0, -300, 45 / 1.609344, 0);
    EXPECT_TRUE(kph.chimeTimes.empty());
    kph.at(0, -280, 55 / 1.609344, 0);
    EXPECT_EQ(kph.chimeTimes.size(), 1u);
    EXPECT_EQ(speedInUnits(10, 2), 10.0);
}

// A section of 3 km at a 50 mph limit, its first kilometre at 60 mph: "slow down" once, and a driver who then
// holds the coached speed (as shown, in whole mph) ends the section within a mile an hour of the limit.
TEST(CoachAid, AdviceEndsTheSectionAtTheLimitAndSlowDownIsSaidOnce)
{
    AidRig rig({{0, 0, "SPECS", "50"}, {0, 3000, "SPECS", "50"}}, {false, false, true});
    double north = -290;
    double mph = 60;
    std::vector<std::string> lines;
    while (north < 2790) { // the next section starts 200 m before the second camera
        rig.at(0, north, mph, 0);
        const std::string& coach = rig.warner->aids.coachLine;
        if (lines.empty() || lines.back() != coach)
            lines.push_back(coach);
        if (north > 1000 && !coach.empty())
            mph = leadingInt(coach.substr(5)); // "Hold 41 mph to the section end"
        north += mph * 1609.344 / 3600;
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "");
    EXPECT_EQ(lines[1].rfind("Hold ", 0), 0u);
    EXPECT_LT(mph, 50);
    EXPECT_EQ(std::count(rig.player.played.begin(), rig.player.played.end(), "SlowDown.wav"), 1);
    const AverageSpeed& specs = rig.warner->specs;
    const double average = specs.totalDistance / (specs.clock() - specs.startTime) * 3600 / 1609.344;
    EXPECT_NEAR(average, 50, 1.0);
    // The line of the average itself stays off: it was not asked for.
    EXPECT_FALSE(specs.enabled);
}

// Three cameras on one road: one behind the start, one passed, one ahead. With the aid the top line
// is about the camera ahead and its distance only falls; standing still keeps it; past the last,
// no camera is ahead. Without the aid the line follows the nearest camera, behind or not.
TEST(DirectionAid, TheMainWarningIsTheNearestCameraAheadAndNeverCountsUpAfterAPass)
{
    const auto lines = [](AidSwitches aids) {
        AidRig rig({{0, -700, "MOBILE", "40"}, {0, 0, "GATSO", "30"}, {0, 1500, "TRUVELO", "30"}}, aids);
        std::vector<std::string> out;
        for (const Step& s : line(0, -400, 1900, 100, 40) + std::vector<Step>{{0, 1950, 0, 0}}) {
            rig.at(s.east, s.north, s.mph, s.course);
            if (out.empty() || out.back() != rig.warner->panel.camera)
                out.push_back(rig.warner->panel.camera);
        }
        return out;
    };
    const std::vector<std::string> on = lines({true, false, false});
    EXPECT_EQ(on.front(), "400m GATSO");
    // From just past the GATSO the TRUVELO ahead, nearer at every fix, then nothing ahead, even standing.
    const auto passed = std::find(on.begin(), on.end(), "1400m TRUVELO");
    ASSERT_NE(passed, on.end());
    for (auto it = passed + 1; it != on.end() && it->find("TRUVELO") != std::string::npos; ++it)
        EXPECT_LT(leadingInt(*it), leadingInt(*(it - 1))) << *it;
    EXPECT_EQ(on.back(), kNoCameraAheadLine);
    EXPECT_EQ(
        std::count_if(on.begin(), on.end(), [](const std::string& l) { return l.find("MOBILE") != l.npos; }),
        0);
    // Without the aid the passed GATSO counts up until the TRUVELO is nearer.
    const std::vector<std::string> off = lines({});
    EXPECT_EQ(off.front(), "300m MOBILE");
    EXPECT_NE(std::find(off.begin(), off.end(), "700m GATSO"), off.end());
    EXPECT_EQ(off.back(), "450m TRUVELO");

    // Passing at speed, then stopping: the camera ahead stays the main one without a course.
    AidRig stop({{0, 0, "GATSO", "30"}, {0, 800, "TRUVELO", "30"}}, {true, false, false});
    stop.at(0, -100, 40, 0);
    stop.at(0, 20, 40, 0);
    EXPECT_EQ(stop.warner->panel.camera, "780m TRUVELO");
    stop.at(0, 25, 0, 0);
    EXPECT_EQ(stop.warner->panel.camera, "775m TRUVELO");
}

// A 1 km average-speed zone with a 50 mph limit driven at 60 mph, the average line switched on.
struct ZoneDrive {
    AidRig rig;
    std::vector<std::pair<double, std::string>> lines; // north, line, each change
    std::vector<std::pair<double, bool>> over;         // north, averageOverLimit, each change

    ZoneDrive(AidSwitches aids, double mph, double to = 1500)
        : rig({{0, 0, "SPECS", "50"}, {0, 1000, "SPECS", "50"}}, aids)
    {
        rig.settings.set(settings::keys::AverageSpeed, 1);
        rig.warner->specs.reset();
        for (double north = -290; north <= to; north += mph * 1609.344 / 3600) {
            rig.at(0, north, mph, 0);
            if (lines.empty() || lines.back().second != rig.warner->specs.line)
                lines.emplace_back(north, rig.warner->specs.line);
            if (over.empty() || over.back().second != rig.warner->aids.averageOverLimit)
                over.emplace_back(north, rig.warner->aids.averageOverLimit);
        }
    }
};

TEST(CoachAid, TheAverageReadsAsWordsAndStopsAtTheZonesEndCamera)
{
    const ZoneDrive coach({false, false, true}, 60);
    // "Avg 60 mph over 690 m, 41 s" while in the zone.
    const auto words = std::find_if(coach.lines.begin(), coach.lines.end(),
                                    [](const auto& l) { return l.second.rfind("Avg ", 0) == 0; });
    ASSERT_NE(words, coach.lines.end());
    EXPECT_EQ(words->second.substr(0, 12), "Avg 60 mph o");
    EXPECT_NE(words->second.find(" m, "), std::string::npos);
    EXPECT_EQ(words->second.back(), 's');
    // 200 m before the end camera the final average stays, until the camera is 300 m behind.
    ASSERT_GE(coach.lines.size(), 2u);
    const auto& last = coach.lines.back();
    const auto& final = coach.lines[coach.lines.size() - 2];
    EXPECT_EQ(last.second, "");
    EXPECT_GT(last.first, 1300.0);
    EXPECT_LT(last.first, 1330.0);
    EXPECT_GT(final.first, 800.0);
    EXPECT_LT(final.first, 830.0);
    EXPECT_EQ(final.second.rfind("Avg 60 mph over ", 0), 0u) << final.second;

    // Without the aid the line runs on from the end camera, as always.
    const ZoneDrive plain({}, 60);
    EXPECT_EQ(plain.lines.back().second.rfind("T ", 0), 0u) << plain.lines.back().second;
    EXPECT_GT(plain.lines.back().first, 1450.0);
}

TEST(ChimeAid, TheZonesAverageIsFlaggedOnlyAboveItsLimit)
{
    const ZoneDrive fast({false, true, false}, 60, 900);
    // Off until the first average is shown past the first camera, on through the zone, and off
    // again when the measurement starts afresh 200 m before the second.
    ASSERT_EQ(fast.over.size(), 3u);
    EXPECT_FALSE(fast.over[0].second);
    EXPECT_TRUE(fast.over[1].second);
    EXPECT_GT(fast.over[1].first, 0.0);
    EXPECT_LT(fast.over[1].first, 60.0);
    EXPECT_FALSE(fast.over[2].second);
    EXPECT_GT(fast.over[2].first, 800.0);
    const ZoneDrive slow({false, true, false}, 45, 900);
    EXPECT_EQ(slow.over.size(), 1u);
    // Without the chime aid nothing is flagged.
    EXPECT_EQ(ZoneDrive({}, 60, 900).over.size(), 1u);
}

TEST(AidList, ParsesTheCommandLineList)
{
    EXPECT_EQ(parseAidList("direction,Chime"), (AidSwitches{true, true, false}));
    EXPECT_EQ(parseAidList("all"), (AidSwitches{true, true, true}));
    EXPECT_EQ(parseAidList(""), AidSwitches{});
    EXPECT_EQ(parseAidList("chime,"), std::nullopt);
}

} // namespace
