// The route file reader, the route list, the guidance step and its announcements, and the agent steps.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "base/LineReader.h"
#include "core/base/ScratchFiles.h"
#include "routes/Guidance.h"
#include "routes/RouteList.h"
#include "speech/AgentCharacter.h"
#include "speech/SpeechAgent.h"

namespace varno::routes {
namespace {

using speech::RoadFlags;
using speech::roadModeSentence;
using test::RecordingPrompt;
using test::ScratchDir;

RouteText readText(const std::string& bytes)
{
    LineReader reader{std::string_view(bytes)};
    return readRouteText(reader);
}

// ---- reading point lines ----

struct PointCase {
    const char* line;
    bool valid;
    const char* lon;
    const char* lat;
    std::optional<std::string> desc1;
    std::optional<std::string> desc2;
};

TEST(RouteFile, PointLinesSplitAsTheFormatSays)
{
    const PointCase cases[] = {
        {"-1.5,52.25,Turn left,A43\n", true, "-1.5", "52.25", "Turn left", "A43"},
        {"-1.5,52.25\n", true, "-1.5", "52.25", std::nullopt, std::nullopt},
        {"-1.5,52.25,,A43\r\n", true, "-1.5", "52.25", "", "A43"},
        {"-1.5,52.25,\"Left, then right\",B1,ignored", true, "-1.5", "52.25", "\"Left, then right\"", "B1"},
        {"-0.1234567,51.12345678,P001,Trk001", true, "-0.123456", "51.123456", "P001", "Trk001"},
        {"0,52.25,x,y", false, "", "", std::nullopt, std::nullopt},
        {"-1.5,0.0,x,y", false, "", "", std::nullopt, std::nullopt},
        {"abc,52.25,x", false, "", "", std::nullopt, std::nullopt},
        // Coordinates that are no place: the guidance would measure NaN from them.
        {"nan,52.25,x", false, "", "", std::nullopt, std::nullopt},
        {"-1.5,1e308,x", false, "", "", std::nullopt, std::nullopt},
        {"-181,52.25,x", false, "", "", std::nullopt, std::nullopt},
        {"-1.5", false, "", "", std::nullopt, std::nullopt},
        {"", false, "", "", std::nullopt, std::nullopt},
        // Empty fields do not count for validity, but they do for the fields.
        {",-1.5,52.25", true, "", "-1.5", "52.25", std::nullopt},
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<RoutePoint> p = parsePointLine(c.line);
        ASSERT_EQ(p.has_value(), c.valid);
        if (!p)
            continue;
        EXPECT_EQ(p->lonText, c.lon);
        EXPECT_EQ(p->latText, c.lat);
        EXPECT_EQ(p->desc1, c.desc1);
        EXPECT_EQ(p->desc2, c.desc2);
    }
    // The place comes from the kept texts, 0 longitude text giving no place.
    EXPECT_FALSE(parsePointLine(",-1.5,52.25")->place.known());
    EXPECT_DOUBLE_EQ(parsePointLine("-0.1234567,51.12345678")->place.lonDeg(), -0.123456);
}

TEST(RouteFile, CommentsExclusionsAndLongLines)
{
    const std::string longLine = "-1.5,52.25," + std::string(400, 'x') + "\n";
    const RouteText r = readText(";A\n;B\r\n: Gatso 12 :\n::\n-1.5,52.25,Go\n" + longLine +
                                 std::string("-2.5,53\0,junk\n", 14) + "; \n");
    EXPECT_EQ(r.title, "Route A\nB\n \n");
    EXPECT_EQ(r.excluded, std::vector<std::string>{"Gatso 12"});
    EXPECT_TRUE(r.sawExclusion);
    // The long line's first piece is a point with 287 characters of Desc. 1;
    // the rest is a line of its own that is no point. A NUL ends the line.
    ASSERT_EQ(r.points.size(), 3u);
    EXPECT_EQ(r.points[1].desc1->size(), 298u - 11u);
    EXPECT_EQ(r.points[2].latText, "53");
    EXPECT_FALSE(r.points[2].desc1);

    const RouteText titled = readText(std::string(100, ';') + "\n");
    EXPECT_EQ(titled.title.size(), kTitleLimit);
}

TEST(RouteFile, PointsBeyondTheLimitAreNotRead)
{
    std::string bytes;
    for (std::size_t i = 0; i <= kMaxRoutePoints; ++i)
        bytes += "-1.5,52.25\n";
    const RouteText r = readText(bytes);
    EXPECT_EQ(r.points.size(), kMaxRoutePoints);
    EXPECT_TRUE(r.truncated);
}

TEST(RouteFile, ExclusionTestUsesTheSixthFieldAsItStands)
{
    const std::vector<std::string> names{"gatso 12"};
    EXPECT_TRUE(excludesCamera(names, "-1.5,52.25,GATSO,30,0,GATSO 12,more"));
    EXPECT_FALSE(excludesCamera(names, "-1.5,52.25,GATSO,30,0, GATSO 12,more"));
    EXPECT_FALSE(excludesCamera(names, "-1.5,52.25,GATSO,30,0,GATSO 12"));
    EXPECT_FALSE(excludesCamera(names, ""));
    EXPECT_FALSE(excludesCamera({}, "-1.5,52.25,GATSO,30,0,GATSO 12,more"));
    // An exclusion line with no name silences nothing.
    EXPECT_FALSE(excludesCamera(readText(":\n").excluded, "a,b,c,d,e,,g"));
}

TEST(RouteFile, NamesForTheDialogsAndThePickList)
{
    ScratchDir dir;
    test::writeBytes(dir.file("two.csv"), ";\n;First\n;Second\n-1.5,52.25\n");
    test::writeBytes(dir.file("none.csv"), "-1.5,52.25\n");
    EXPECT_EQ(readRouteName(dir.file("two.csv"), 159), "First");
    EXPECT_EQ(readRouteName(dir.file("two.csv"), 3), "Fir");
    EXPECT_EQ(readRouteName(dir.file("none.csv"), 159), "No route name");
    EXPECT_EQ(readRouteName(dir.file("missing.csv"), 159), "No file");
    EXPECT_EQ(readRouteName("", 159), std::nullopt);
    EXPECT_EQ(pickEntryText(dir.file("two.csv")), "Second");
    EXPECT_EQ(pickEntryText(dir.file("none.csv")), dir.file("none.csv"));
    EXPECT_EQ(pickEntryText("no-reg-pick 3"), "No file");
    EXPECT_EQ(pickEntryText(""), "");
}

TEST(RouteList, LoadsReplacesAndFailsAsTheDriverIsTold)
{
    ScratchDir dir;
    RecordingPrompt prompt;
    RouteList route;
    EXPECT_FALSE(route.loaded());
    test::writeBytes(dir.file("r.csv"), ";Trip\n:Cam A\n-1.5,52.25,P001\n-1.6,52.3,P002\n");
    const auto first = route.load(dir.file("r.csv"), prompt);
    EXPECT_TRUE(first.opened);
    EXPECT_TRUE(first.sawExclusion);
    EXPECT_EQ(route.points().size(), 2u);
    EXPECT_EQ(route.title(), "Route Trip\n");

    // A folder, a missing file: the message names it, the points go, the
    // exclusions stay.
    for (const std::string& bad : {dir.path().string(), dir.file("missing.csv")}) {
        prompt.shown.clear();
        const auto r = route.load(bad, prompt);
        EXPECT_FALSE(r.opened);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text.rfind("Error can't open the route file\n" + bad, 0), 0u);
        EXPECT_TRUE(route.loaded());
        EXPECT_TRUE(route.points().empty());
        EXPECT_EQ(route.title(), "Route ");
        EXPECT_EQ(route.excluded(), std::vector<std::string>{"Cam A"});
    }
    // An empty name: an empty route, nothing said.
    prompt.shown.clear();
    EXPECT_FALSE(route.load("", prompt).opened);
    EXPECT_TRUE(prompt.shown.empty());

    // Binary bytes load what happens to parse and never crash.
    test::writeBytes(dir.file("bin.csv"), std::string("\x7f"
                                                      "ELF\0\x01\x02,,\xff\xfe\n\0\0\0",
                                                      16));
    EXPECT_TRUE(route.load(dir.file("bin.csv"), prompt).opened);
    EXPECT_TRUE(route.points().empty());
}

// An old Mac route file (CR alone) loads its points; the rest of an over-long
// line is dropped, not read as a point, and the load says how many were cut.
TEST(RouteList, CrOnlyLinesAndOverLongLines)
{
    ScratchDir dir;
    RecordingPrompt prompt;
    RouteList route;
    test::writeBytes(dir.file("mac.csv"), ";Trip\r:Cam A\r-1.5,52.25,P001\r-1.6,52.3,P002\r");
    ASSERT_TRUE(route.load(dir.file("mac.csv"), prompt).opened);
    EXPECT_EQ(route.points().size(), 2u);
    EXPECT_EQ(route.title(), "Route Trip\n");
    EXPECT_EQ(route.excluded(), std::vector<std::string>{"Cam A"});
    EXPECT_TRUE(prompt.shown.empty());

    std::string longLine = "-1.5,52.25,Long";
    longLine += std::string(kRouteLineLimit - 1 - longLine.size(), ' ') + "-1.7,52.4,Phantom\n";
    test::writeBytes(dir.file("long.csv"), longLine + "-1.6,52.3,P002\n");
    ASSERT_TRUE(route.load(dir.file("long.csv"), prompt).opened);
    ASSERT_EQ(route.points().size(), 2u);
    EXPECT_EQ(route.points()[1].desc1, "P002");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text,
              "The route file " + dir.file("long.csv") + "\n1 over-long line cut short");
}
// An allocation that fails while the route is read: the driver is told, the
// load stops where the list says, and nothing crashes.
RouteAllocation failingSite;
int failingCall = 0, calls = 0;
void failNth(RouteAllocation at)
{
    if (at == failingSite && ++calls == failingCall)
        throw std::bad_alloc();
}

TEST(RouteList, OutOfMemoryMessagesAndWhatStays)
{
    ScratchDir dir;
    test::writeBytes(dir.file("old.csv"), ":Old\n-1.5,52.25,P\n");
    test::writeBytes(dir.file("r.csv"), ";T\n:A1\n:A2\n-1.1,51.1,P1\n-1.2,51.2,P2\n-1.3,51.3,P3\n");
    const struct {
        RouteAllocation site;
        int call;
        std::vector<std::string> messages;
        std::size_t points;
        std::vector<std::string> excluded;
        bool outOfMemory;
    } cases[] = {
        {RouteAllocation::List, 1, {kRouteOutOfMemoryMessage}, 0, {"Old"}, true},
        {RouteAllocation::Point, 3, {kRouteIncompleteMessage}, 2, {"A1", "A2"}, true},
        {RouteAllocation::Description, 2, {kRouteOutOfMemoryMessage}, 1, {"A1", "A2"}, true},
        {RouteAllocation::Exclusion, 1, {kExcludeOutOfMemoryMessage}, 3, {"A2"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.site));
        RecordingPrompt prompt;
        RouteList route;
        route.load(dir.file("old.csv"), prompt);
        failingSite = c.site;
        failingCall = c.call;
        calls = 0;
        routeAllocationProbe = &failNth;
        const auto r = route.load(dir.file("r.csv"), prompt);
        routeAllocationProbe = nullptr;
        std::vector<std::string> shown;
        for (const auto& m : prompt.shown)
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(route.points().size(), c.points);
        EXPECT_EQ(route.excluded(), c.excluded);
        EXPECT_EQ(r.outOfMemory, c.outOfMemory);
        EXPECT_EQ(r.opened, !c.outOfMemory);
    }
}

// ---- guidance ----

// A route of points due north of the fix, at the given distances [m].
RouteList northRoute(const std::vector<double>& metres, const char* desc1 = "Turn", const char* desc2 = "A43")
{
    std::string bytes;
    for (double m : metres)
        bytes += fmt::format("-1.5,{:.6f},{},{}\n", 52.0 + m / geo::kMetresPerDegreeNorth, desc1, desc2);
    test::ScratchDir dir;
    test::writeBytes(dir.file("r.csv"), bytes);
    RouteList route;
    RecordingPrompt prompt;
    route.load(dir.file("r.csv"), prompt);
    return route;
}

// Steps from `from` metres south of a route point toward it in `stepM` metre
// strides and returns the distances at which something was spoken.
std::vector<int> approach(RoadFlags flags, double from, double stepM, bool announce = true)
{
    RouteList route = northRoute({0.0});
    Guidance g;
    g.readRoadTypes(flags);
    std::vector<int> spokenAt;
    for (double d = from; d >= 0; d -= stepM) {
        // A centimetre farther, so a step on a threshold lies clearly outside it.
        const geo::LatLon fix(52.0 - (d + 0.01) / geo::kMetresPerDegreeNorth, -1.5);
        if (g.step(route, fix, announce))
            spokenAt.push_back(static_cast<int>(std::lround(d)));
    }
    return spokenAt;
}

TEST(Guidance, AnnouncesOnceBelowFarAndOnceBelowNearPerRoadType)
{
    struct Case {
        RoadFlags flags;
        double from;
        double step;
        std::vector<int> spokenAt;
    };
    const Case cases[] = {
        {{.motorway = true, .country = false, .town = false}, 1700, 100, {1300, 500}},
        {{.motorway = false, .country = true, .town = true}, 700, 50, {450, 100}},
        {{.motorway = false, .country = true, .town = false}, 700, 50, {550, 250}},
        {{.motorway = false, .country = false, .town = false}, 700, 50, {550, 250}},
        // First seen inside the near distance: once, at the second step.
        {{.motorway = false, .country = true, .town = false}, 100, 10, {90}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.flags.motorway << c.flags.country << c.flags.town << " " << c.from);
        EXPECT_EQ(approach(c.flags, c.from, c.step), c.spokenAt);
    }
    EXPECT_EQ(announceDistances({.motorway = true, .country = false, .town = false}),
              (AnnounceDistances{1400, 600}));
    EXPECT_TRUE(approach({}, 700, 50, false).empty());
}

TEST(Guidance, NearestAndNextTexts)
{
    RouteList route = northRoute({900.0, 300.0, 300.0, 2000.0});
    route.points()[3].desc2.reset();
    Guidance g;
    const geo::LatLon fix(52.0, -1.5);
    g.step(route, fix, false);
    // Equal distances: the earlier point wins; next is the following point.
    EXPECT_EQ(g.nearest(), 1u);
    EXPECT_EQ(g.nearestText(), "2 - 0.300 km Turn,A43");
    EXPECT_EQ(g.nextText(), "3 - 0.300 km Turn,A43");

    // The last point has an empty next text.
    const geo::LatLon atEnd(52.0 + 2000.0 / geo::kMetresPerDegreeNorth, -1.5);
    g.step(route, atEnd, false);
    EXPECT_EQ(g.nearest(), 3u);
    EXPECT_EQ(g.nearestText(), "4 - 0.000 km Turn");
    EXPECT_EQ(g.nextText(), "");

    // No fix: both texts say so, nothing is measured, the nearest point stays.
    route.points()[0].distance = 1.0;
    g.step(route, geo::LatLon(), false);
    EXPECT_EQ(g.nearestText(), kNoNearbyPoint);
    EXPECT_EQ(g.nextText(), kNoNearbyPoint);
    EXPECT_EQ(g.nearest(), 3u);
    EXPECT_EQ(route.points()[0].distance, 1.0);

    // Points without Desc. 1 are neither measured nor nearest.
    RouteList bare = northRoute({100.0, 500.0});
    bare.points()[0].desc1.reset();
    g.routeReplaced();
    g.step(bare, fix, false);
    EXPECT_EQ(g.nearest(), 1u);
    EXPECT_EQ(bare.points()[0].distance, 0.0);
}

TEST(Guidance, SpeakRequestAndAnnouncementTexts)
{
    RoutePoint p;
    p.desc1 = "Turn left";
    p.desc2 = "A43";
    EXPECT_EQ(announcementText(p, 512.7), "Turn left A43 512 metres");
    p.desc2.reset();
    EXPECT_EQ(announcementText(p, 512.7), "Turn left  512 metres");
    p.desc1 = ":";
    p.desc2 = "Services ahead";
    EXPECT_EQ(announcementText(p, 512.7), "Services ahead");
    p.desc1.reset();
    EXPECT_EQ(announcementText(p, 9.9), "Services ahead 9 metres");

    // The request is kept until a step has a nearest point, and speaks with
    // announcements switched off.
    RouteList route = northRoute({250.05}, "Exit", "J5");
    Guidance g;
    g.requestSpeak();
    EXPECT_FALSE(g.step(route, geo::LatLon(), false));
    EXPECT_TRUE(g.speakRequested());
    const auto& said = g.step(route, geo::LatLon(52.0, -1.5), false);
    ASSERT_TRUE(said);
    EXPECT_EQ(*said, "Exit J5 250 metres");
    EXPECT_FALSE(g.speakRequested());
    EXPECT_EQ(g.lastAnnouncedDistance(), kUnannounced); // the first step of a new point resets it
}

TEST(Guidance, LabelsFollowTheFlagsAndTheMapSquare)
{
    RoutePoint p;
    p.desc1 = "Go";
    p.desc2 = "B1";
    const struct {
        LabelFlags flags;
        const char* text;
    } cases[] = {
        {{true, true, true}, "* 7 Go,B1"}, {{false, false, false}, "*"},   {{false, false, true}, "*B1"},
        {{true, false, true}, "* 7 B1"},   {{false, true, false}, "* Go"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(labelText(p, 7, c.flags), c.text);

    // 1.2 radii north: measured, may be nearest, no label.
    RouteList route = northRoute({1200.0, 500.0});
    Guidance g;
    g.step(route, geo::LatLon(52.0, -1.5), false);
    const auto labels = placedLabels(route, {false, true, false}, 1000.0, 180, 253);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].text, "* Turn");
    EXPECT_EQ(labels[0].x, 180);
    EXPECT_EQ(labels[0].y, 190); // 253 - 62.5, truncated
}

// ---- the agent steps ----

TEST(Agent, LoadSpeakAndFailure)
{
    RecordingPrompt prompt;
    test::TestSettings s(prompt);
    s.set(settings::keys::MSAgentACS, "/x/agent.txt");
    s.set(settings::keys::MSAgentSound, 1u);
    speech::RecordingSpeechAgent agent;
    int roadReads = 0;
    speech::AgentControl control(agent, s, prompt, [&] {
        ++roadReads;
        return RoadFlags{.motorway = false, .country = false, .town = true};
    });
    // Speaking without a character loads one first, and says the road mode.
    control.speak("Hello");
    EXPECT_EQ(roadReads, 1);
    EXPECT_EQ(agent.events, (std::vector<std::string>{"load /x/agent.txt", "greet", "speak Route town mode",
                                                      "speak Hello"}));
    EXPECT_TRUE(agent.soundEffects);
    EXPECT_EQ(std::string(roadModeSentence({false, false, false})),
              "Route no mode set, please check Route MSAgent settings");

    // A character that cannot load: the message, and nothing is said.
    agent.unreadable.push_back("/x/agent.txt");
    agent.events.clear();
    control.unload();
    control.speak("Again");
    EXPECT_EQ(prompt.texts().back(), "MSAgent load failed");
    EXPECT_FALSE(control.loaded());
    EXPECT_EQ(agent.spoken.back(), "Hello");

    // The guidance speaks on every repaint: a failed character is not tried
    // again there (no road types read anew, no second message) until the
    // next explicit load, which reports its own failure once more.
    const std::size_t messages = prompt.texts().size();
    const int reads = roadReads;
    for (int i = 0; i < 5; ++i)
        control.speak("Step");
    EXPECT_EQ(prompt.texts().size(), messages);
    EXPECT_EQ(roadReads, reads);
    control.load({});
    EXPECT_EQ(prompt.texts().size(), messages + 1);

    // A failure of speak's own load goes where the window queues it.
    control.unload();
    std::vector<std::string> later;
    control.reportLater = [&](const std::string& text) { later.push_back(text); };
    control.speak("Queued");
    EXPECT_EQ(later, std::vector<std::string>{"MSAgent load failed"});
    EXPECT_EQ(prompt.texts().size(), messages + 1);
}

} // namespace
} // namespace varno::routes

namespace varno::speech {
namespace {

TEST(AgentCharacter, ReadsTheBundledOwlAndRefusesBrokenFiles)
{
    const std::string owl = test::readBytes(VARNO_TEST_DATA_DIR "/../../data/agent/owl.txt");
    std::string error;
    const auto c = parseAgentCharacter(owl, &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->width, 16);
    EXPECT_EQ(c->height, 16);
    EXPECT_EQ(c->frame(false, 5).name, "idle");
    EXPECT_NE(c->frame(true, 0).name, c->frame(true, 1).name);

    const std::string head = "VARNO agent 1\ncolour k 000000\n";
    const struct {
        std::string text;
        const char* why;
    } bad[] = {
        {"", "empty file"},
        {"MSAGENT\x01\x02", "not a VARNO agent character"},
        {head, "no frame"},
        {head + "frame a\nkk\nk\n", "not a full rectangle"},
        {head + "frame a\nkz\n", "known colours"},
        {head + "frame a\nkk\nframe b\nk\n", "not a full rectangle"},
        {head + "colour . 000000\n", "bad colour"},
        {head + "colour q 00zz00\n", "bad colour"},
        {head + "frame a\n" + std::string(65, 'k') + "\n", "larger than 64"},
        {head + "what\n", "unknown line"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.text);
        EXPECT_FALSE(parseAgentCharacter(b.text, &error));
        EXPECT_NE(error.find(b.why), std::string::npos) << error;
    }
}

} // namespace
} // namespace varno::speech
