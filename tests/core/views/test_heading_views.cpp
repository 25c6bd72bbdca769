// The POI view's and the heading views' scenes, the rose's heading lag, and the GPX trail.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fmt/format.h>
#include <numbers>

#include "core/base/ScratchFiles.h"
#include "geo/MapGeometry.h"
#include "poi/PoiList.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/HeadingLag.h"
#include "views/HeadingScenes.h"
#include "views/Trail.h"
#include "views/ViewMode.h"

using namespace varno;
using namespace varno::views;
namespace fs = std::filesystem;

namespace {

const geo::LatLon kFix(51.5, -1.0);

geo::LatLon offsetFromFix(double eastM, double northM)
{
    const double lat = kFix.latDeg() + northM / geo::kMetresPerDegreeNorth;
    return {lat, kFix.lonDeg() + eastM / (std::cos(lat * geo::kDegToRad) * geo::kMetresPerDegreeEast)};
}

SceneInput inputAt(int width = 800, int height = 600)
{
    SceneInput in;
    in.windowWidth = width;
    in.windowHeight = height;
    in.fix.position = kFix;
    in.mapRadius = 4000.0;
    return in;
}

std::string textOf(const Scene& s, int x, int y)
{
    const TextItem* t = s.textAt(x, y);
    return t ? t->text : "(none)";
}

bool hasLine(const Scene& s, Point a, Point b, std::uint32_t colour, int width)
{
    for (const PolylineItem* l : s.all<PolylineItem>())
        if (l->points.size() == 2 && l->points[0] == a && l->points[1] == b && l->colour == colour &&
            l->width == width)
            return true;
    return false;
}

TEST(HeadingLag, FollowsTheCourseHalfwayPerDrawWhenMoving)
{
    const struct {
        const char* what;
        double start;
        double course, knots;
        std::vector<double> steps;
    } cases[] = {
        {"10 knots, 0 to 90", 0, 90, 10, {45, 67.5, 78.75, 84.375}},
        {"standing still", 0, 90, 0.5, {0, 0}},
        {"exactly one knot is standing", 0, 90, 1.0, {0}},
        {"reached stays", 90, 90, 10, {90, 90}},
        {"across north the short way", 350, 10, 10, {0, 5, 7.5}},
        {"back across north", 10, 350, 10, {0, 355}},
        {"a negative sum gives north", 0, -10, 10, {0}},
        {"not a number leaves it", 30, std::nan(""), 10, {30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HeadingLag lag;
        // Reach the start from north at speed.
        while (lag.displayed() != c.start)
            lag.step(c.start, 10);
        for (double want : c.steps)
            EXPECT_DOUBLE_EQ(lag.step(c.course, c.knots), want);
    }
}

TEST(HeadingViews, RoseLabelsTicksAndCrossHairTurnWithTheHeading)
{
    SceneInput in = inputAt();
    in.headingBefore = 90.0;
    in.heading = 90.0;
    in.fix.courseDeg = 90.0;
    Scene s;
    addCompassView(s, in);
    const int dy = kRoseImageOffset;
    // North is on the left of a rose turned east; its top shows 090.
    ASSERT_TRUE(s.textAt(84, 152 + dy));
    EXPECT_EQ(textOf(s, 84, 152 + dy), "N");
    EXPECT_EQ(textOf(s, 20, 160 + dy), "000");
    EXPECT_EQ(textOf(s, 330, 280 + dy), "090");
    EXPECT_EQ(textOf(s, 310, 260 + dy), "Map radius 4km");
    EXPECT_EQ(textOf(s, 600, 80 + dy), "Bearing 090");
    // The heading mark and the rose's inner cross-hair.
    EXPECT_TRUE(hasLine(s, {174, 69 + dy}, {174, 32 + dy}, kCrossHairInner, 3));
    EXPECT_TRUE(hasLine(s, {156, 168 + dy}, {194, 168 + dy}, kCrossHairInner, 0));
    // The long tick of 10 degrees, at 280 degrees on the screen rose.
    const double t = roseAngle(10, 90);
    EXPECT_NEAR(t, -190 * std::numbers::pi / 180, 1e-12);
    EXPECT_TRUE(hasLine(
        s, {static_cast<int>(174 + 119 * std::cos(t)), static_cast<int>(170 - 119 * std::sin(t)) + dy},
        {static_cast<int>(174 + 159 * std::cos(t)), static_cast<int>(170 - 159 * std::sin(t)) + dy}, kWhite,
        0));

    // The pointer view moves the radius and course texts up.
    Scene p;
    addPointerView(p, in);
    EXPECT_EQ(textOf(p, 310, 10 + dy), "Map radius 4km");
    EXPECT_EQ(textOf(p, 310, 30 + dy), "090");

    // Nothing in a window not larger than 750 x 460.
    for (auto [w, h] : {std::pair{750, 600}, std::pair{800, 460}}) {
        Scene none;
        addCompassView(none, inputAt(w, h));
        addPointerView(none, inputAt(w, h));
        EXPECT_TRUE(none.items.empty());
    }
}

TEST(HeadingViews, RouteLabelsAreCutAndArrowsFollowThePassedRule)
{
    const std::string label = "abcdefg" + std::string(23, 'a');
    const struct {
        int x, y;
        std::optional<std::string> cut;
    } cuts[] = {
        {700, 200, "abcdefg"},           // 50 pixels: 7 characters
        {550, 100, "abcdefg"},           // above 145 the panel ends the line at 600
        {550, 145, label.substr(0, 28)}, // from 145 down the line ends at 750
        {600, 100, std::nullopt},
        {745, 200, std::nullopt}, // not one character fits
        {100, 276, std::nullopt}, // too low
        {100, 275, label},
    };
    for (const auto& c : cuts)
        EXPECT_EQ(cutRouteLabel(label, c.x, c.y), c.cut) << c.x << "," << c.y;

    // A route running north past the fix: P 1 km south, N 200 m north, S 1 km north.
    RouteMarks r;
    r.hasNearest = true;
    r.previous = offsetFromFix(0, -1000);
    r.nearest = offsetFromFix(0, 200);
    r.following = offsetFromFix(0, 1000);
    r.nearestText = "Nearest: A";
    r.nextText = "Next: B";
    r.labels = {{"Far away label", offsetFromFix(0, 5000)}, {"Near", offsetFromFix(1000, 0)}};
    EXPECT_FALSE(passedNearest(r, kFix)); // 1200 / 800 < 1000 / 1000 does not hold
    SceneInput in = inputAt();
    in.routeMarks = &r;
    const int dy = kRoseImageOffset;
    Scene before;
    addPointerView(before, in);
    EXPECT_EQ(textOf(before, 537, 169 + dy), "Near");
    for (const TextItem* t : before.all<TextItem>())
        EXPECT_NE(t->text, "Far away label");
    EXPECT_EQ(textOf(before, 270, 300 + dy), "Nearest: A");
    EXPECT_EQ(textOf(before, 270, 320 + dy), "Next: B");
    // Route arrow north in its own colour, the pointer at N in the other.
    EXPECT_TRUE(hasLine(before, {174, 90 + dy}, {174, 63 + dy}, kRouteArrowColour, 3));
    EXPECT_TRUE(hasLine(before, {174, 125 + dy}, {174, 63 + dy}, kPassedColour, 3));

    // N now 100 m behind: 900 / 1100 < 1000 / 1000, passed; the pointer aims at S.
    r.nearest = offsetFromFix(0, -100);
    EXPECT_TRUE(passedNearest(r, kFix));
    Scene after;
    addPointerView(after, in);
    EXPECT_TRUE(hasLine(after, {174, 90 + dy}, {174, 63 + dy}, kPassedColour, 3));
    EXPECT_TRUE(hasLine(after, {174, 125 + dy}, {174, 63 + dy}, kRouteArrowColour, 3));
    r.nearestIsFirst = true;
    EXPECT_FALSE(passedNearest(r, kFix));
}

TEST(HeadingViews, PoiStarsInsideTheSquareOnly)
{
    test::RecordingPrompt prompt;
    test::TestSettings ts(prompt);
    test::ScratchDir data;
    fs::create_directories(data.path() / "POI");
    const auto east1000 = offsetFromFix(1000, 0);
    test::writeBytes((data.path() / "POI" / "a.txt").string(),
                     fmt::format("{:.9f},{:.9f},East\n-1.0,51.51,Edge\n-1.0,51.5,Here\n", east1000.lonDeg(),
                                 east1000.latDeg()));
    ts.set(settings::keys::POIFolder, "C:\\VARNO\\POI");
    ts.store.setString(settings::kPoiFilesKey, "POIFile1", "a.txt");
    // The radius is exactly the distance to the POI due north.
    const double radius = (51.51 - 51.5) * geo::kMetresPerDegreeNorth;
    poi::PoiList list;
    ASSERT_EQ(list.load(kFix, radius, ts, prompt, data.path().string()), poi::PoiList::Status::Loaded);
    ASSERT_EQ(list.points().size(), 3u) << "a POI at the radius is held";

    SceneInput in = inputAt();
    in.pois = &list;
    in.mapRadius = radius;
    Scene s;
    addPoiView(s, in);
    EXPECT_TRUE(s.hasFrame({1, 123, 750, 445}));
    EXPECT_EQ(textOf(s, 332, 253), "* East"); // 180 + 1000 * 170 / 1112.48
    EXPECT_EQ(textOf(s, 180, 253), "* Here");
    for (const TextItem* t : s.all<TextItem>())
        EXPECT_NE(t->text, "* Edge") << "on the square's edge is outside";
    EXPECT_EQ(textOf(s, 240, 380), "Map radius 1km");
    EXPECT_EQ(textOf(s, 10, 420), "Lat. 51.500000");
    Scene small;
    addPoiView(small, inputAt(800, 445));
    EXPECT_TRUE(small.items.empty());
}

// The corpus files' points and segments are checked through varno-cli trail.
TEST(GpxTrail, ACutFileKeepsItsPointsAndTheMessagesNameTheFile)
{
    test::ScratchDir dir;
    const std::string cut = dir.file("cut.gpx");
    test::writeBytes(cut, "<gpx><trk><trkseg><trkpt lat=\"51.5\" lon=\"-1\"/>\n<trkpt lat=\"51.6\" "
                          "lon=\"-1\"/><trkpt lat=\"51");
    const TrailLoad partial = loadTrail(cut);
    ASSERT_TRUE(partial.error);
    EXPECT_EQ(partial.trail.pointCount(), 2u) << "a segment without its end still has its points";
    EXPECT_TRUE(partial.message().starts_with("Error reading the trail GPX\n" + cut + ":2:"));
    EXPECT_TRUE(partial.message().ends_with("\nnumber of points found 2."));

    const TrailLoad none = loadTrail(dir.file("none.gpx"));
    EXPECT_TRUE(none.message().starts_with("Error can't open source file\n" + dir.file("none.gpx")));

    // The trail view draws the first vertex at the map centre when it is at the fix.
    Trail t;
    t.segments = {{kFix, offsetFromFix(400, 0)}, {offsetFromFix(0, 8000), offsetFromFix(0, 9000)}};
    SceneInput in = inputAt();
    in.gpxTrail = &t;
    Scene s;
    addTrailView(s, in);
    int trails = 0;
    for (const PolylineItem* l : s.all<PolylineItem>())
        if (l->colour == kTrailColour && l->width == 5) {
            ++trails;
            EXPECT_EQ(l->points.front(), (Point{385, 149 + kTrailImageOffset}));
            EXPECT_EQ(l->points.back(), (Point{385 + 17, 149 + kTrailImageOffset}));
        }
    EXPECT_EQ(trails, 1) << "a segment outside the square draws nothing";
    EXPECT_EQ(textOf(s, 4, 126), "Nearest:");
    EXPECT_EQ(textOf(s, 4, 165), "Next:");
    Scene low;
    addTrailView(low, inputAt(800, 199));
    EXPECT_TRUE(low.textAt(4, 126) && !low.textAt(4, 165));
}

// The index that lets a draw pass over runs of points off the map draws the same lines.
TEST(GpxTrail, TheIndexedDrawMatchesThePlainOne)
{
    Trail t;
    for (int s = 0; s < 5; ++s) {
        t.segments.emplace_back();
        for (int i = 0; i < 1500; ++i) {
            const double a = (s * 1500 + i) * 0.003;
            t.segments.back().push_back(offsetFromFix(std::sin(a * 1.7) * 9000, std::cos(a) * 9000));
        }
    }
    t.segments[2][300] = geo::LatLon(std::nan(""), 1.0);
    SceneInput in = inputAt();
    in.gpxTrail = &t;
    auto lines = [&] {
        Scene s;
        addTrailView(s, in);
        std::vector<std::vector<Point>> out;
        for (const PolylineItem* l : s.all<PolylineItem>())
            if (l->colour == kTrailColour)
                out.push_back(l->points);
        return out;
    };
    const auto plain = lines();
    t.buildIndex();
    EXPECT_EQ(lines(), plain);
    EXPECT_GE(plain.size(), 5u);
}

} // namespace
