// Matching fixes to the ways of a road map, the caches that feed the matcher and the views, and the road
// line.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/roads/MemoryRoads.h"
#include "gps/Presentation.h"
#include "roads/RoadFollower.h"

using namespace varno;
using namespace varno::roads;
using varno::testing::at;
using varno::testing::MemoryRoads;
using varno::testing::way;

namespace {

gps::Fix fixAt(double eastM, double northM, double courseDeg, double kph = 40.0)
{
    gps::Fix f;
    f.position = at(eastM, northM);
    f.courseDeg = courseDeg;
    f.speedKnots = kph / gps::kKnotsToKph;
    return f;
}

// A street running east, a oneway running north that crosses it at (200, 0),
// and a service road alongside the street 12 m to its north.
std::vector<RoadWay> crossing()
{
    return {
        way(1, {{0, 0}, {100, 0}, {200, 0}, {400, 0}}, RoadClass::Secondary, "Friedrich-Engels-Ring", 50),
        way(2, {{200, -300}, {200, 0}, {200, 300}}, RoadClass::Residential, "Einbahnweg", 30, true),
        way(3, {{0, 12}, {400, 12}}, RoadClass::Service),
    };
}

std::optional<std::int64_t> matchedId(RoadMatcher& m, const gps::Fix& f, const std::vector<RoadWay>& ways,
                                      bool hasFix = true)
{
    const auto& r = m.match(f, hasFix, ways);
    return r ? std::optional<std::int64_t>(r->wayId) : std::nullopt;
}

} // namespace

TEST(RoadMatcher, FollowsAStreetBothWaysAndGivesItsNameLimitAndDistance)
{
    const auto ways = crossing();
    RoadMatcher east;
    const auto& r = east.match(fixAt(50, 3, 90), true, ways);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->wayId, 1);
    EXPECT_EQ(r->name, "Friedrich-Engels-Ring");
    EXPECT_EQ(r->roadClass, RoadClass::Secondary);
    EXPECT_EQ(r->limitKph, 50);
    EXPECT_NEAR(r->distanceM, 3.0, 0.1);
    RoadMatcher west;
    EXPECT_EQ(matchedId(west, fixAt(350, -4, 272), ways), 1);
    // Across the street's direction, it is not the road being driven.
    RoadMatcher across;
    EXPECT_EQ(matchedId(across, fixAt(50, 3, 180), ways), std::nullopt);
    // Too far from every way.
    RoadMatcher away;
    EXPECT_EQ(matchedId(away, fixAt(50, -40, 90), ways), std::nullopt);
}

TEST(RoadMatcher, AOnewayDrivenTheWrongWayIsNotMatched)
{
    const auto ways = crossing();
    RoadMatcher north;
    EXPECT_EQ(matchedId(north, fixAt(203, -150, 2), ways), 2);
    RoadMatcher south;
    EXPECT_EQ(matchedId(south, fixAt(203, -150, 182), ways), std::nullopt);
}

TEST(RoadMatcher, AtAJunctionTheWayAlongTheCourseWins)
{
    const auto ways = crossing();
    // On the junction itself both the street and the oneway are 2 m away;
    // the service road too is within range. The course picks.
    RoadMatcher m;
    EXPECT_EQ(matchedId(m, fixAt(202, 0, 88), ways), 1);
    RoadMatcher n;
    EXPECT_EQ(matchedId(n, fixAt(201, 1, 358), ways), 2);
    // Turning from the street into the oneway: the street stops counting,
    // the oneway is taken at once.
    RoadMatcher turn;
    EXPECT_EQ(matchedId(turn, fixAt(180, 1, 90), ways), 1);
    EXPECT_EQ(matchedId(turn, fixAt(201, 20, 0), ways), 2);
}

TEST(RoadMatcher, KeepsTheCurrentWayUnlessAnotherIsClearlyNearer)
{
    const auto ways = crossing();
    RoadMatcher m;
    EXPECT_EQ(matchedId(m, fixAt(50, 2, 90), ways), 1);
    // Drifting towards the service road 12 m north: nearer to it, but not by more than the margin.
    EXPECT_EQ(matchedId(m, fixAt(60, 7, 90), ways), 1);
    EXPECT_EQ(matchedId(m, fixAt(70, 10, 90), ways), 1);
    // Whereas a matcher starting there takes the nearer way.
    RoadMatcher fresh;
    EXPECT_EQ(matchedId(fresh, fixAt(70, 10, 90), ways), 3);
    // Well onto the service road, with the street out of range: it switches.
    auto far = ways;
    far[2] = way(3, {{0, 12}, {100, 12}, {400, 60}}, RoadClass::Service);
    EXPECT_EQ(matchedId(m, fixAt(380, 57, 83), far), 3);
}

TEST(RoadMatcher, TheNextPieceOfTheSameStreetTakesOverWithoutTheMargin)
{
    const std::vector<RoadWay> ways = {
        way(1, {{0, 0}, {100, 0}}, RoadClass::Residential, "Turmstraße", 50),
        way(2, {{100, 0}, {300, 0}}, RoadClass::Residential, "Turmstraße", 30),
    };
    RoadMatcher m;
    EXPECT_EQ(matchedId(m, fixAt(90, 1, 90), ways), 1);
    const auto& r = m.match(fixAt(104, 1, 90), true, ways);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->wayId, 2);
    EXPECT_EQ(r->limitKph, 30);
}

TEST(RoadMatcher, NoFixGivesNoRoadAndStandingStillIgnoresTheCourse)
{
    const auto ways = crossing();
    RoadMatcher m;
    EXPECT_EQ(matchedId(m, fixAt(50, 2, 90), ways), 1);
    EXPECT_EQ(matchedId(m, fixAt(50, 2, 90), ways, false), std::nullopt);
    EXPECT_EQ(matchedId(m, gps::Fix{}, ways), std::nullopt);
    // Standing at 2 km/h with a course across the street: the street still.
    RoadMatcher standing;
    EXPECT_EQ(matchedId(standing, fixAt(50, 2, 180, 2.0), ways), 1);
}

TEST(RoadLine, ShowsRefOrNameAndTheLimitInTheDisplaysUnit)
{
    RoadMatch r;
    r.name = "Bundesautobahn 1";
    r.ref = "A1";
    r.limitKph = 50;
    EXPECT_EQ(roadLine(r, gps::kSpeedUnitsKph), "A1 \xC2\xB7 50");
    EXPECT_EQ(roadLine(r, gps::kSpeedUnitsMph), "A1 \xC2\xB7 31");
    r.ref.clear();
    r.limitKph = 48; // "30 mph" read into km/h
    EXPECT_EQ(roadLine(r, gps::kSpeedUnitsMph), "Bundesautobahn 1 \xC2\xB7 30");
    r.limitKph = kLimitNone;
    EXPECT_EQ(roadLine(r, gps::kSpeedUnitsKph), "Bundesautobahn 1 \xC2\xB7 none");
    r.limitKph = kLimitUnknown;
    EXPECT_EQ(roadLine(r, gps::kSpeedUnitsKph), "Bundesautobahn 1");

    // Over the limit as shown: 31 mph shown for 50 km/h, so 30.9 mph is within it.
    r.limitKph = 50;
    EXPECT_FALSE(overRoadLimit(r, 30.9 * 1.609344 / gps::kKnotsToKph, gps::kSpeedUnitsMph));
    EXPECT_TRUE(overRoadLimit(r, 31.2 * 1.609344 / gps::kKnotsToKph, gps::kSpeedUnitsMph));
    EXPECT_TRUE(overRoadLimit(r, 51.0 / gps::kKnotsToKph, gps::kSpeedUnitsKph));
    r.limitKph = kLimitNone;
    EXPECT_FALSE(overRoadLimit(r, 250.0 / gps::kKnotsToKph, gps::kSpeedUnitsKph));
}

TEST(RoadFollower, ReadsTheSourceOnlyWhenMovingPastTheMargin)
{
    auto source = std::make_unique<MemoryRoads>();
    source->all = crossing();
    const MemoryRoads& src = *source;
    RoadFollower follower(std::move(source));
    for (int e = 0; e <= 140; e += 10)
        follower.onFix(fixAt(e, 1, 90), true);
    EXPECT_EQ(src.queries, 1);
    ASSERT_TRUE(follower.road());
    EXPECT_EQ(follower.road()->wayId, 1);
    // 150 m on, the box read first no longer holds the reach around the fix.
    follower.onFix(fixAt(160, 1, 90), true);
    EXPECT_EQ(src.queries, 2);
    // No fix reads nothing.
    follower.onFix(fixAt(5000, 1, 90), false);
    EXPECT_EQ(src.queries, 2);

    // The view's ways: read once for many paints, again past the margin or far zoomed in.
    follower.waysAround(at(0, 0), 4000);
    follower.waysAround(at(500, 500), 4000);
    EXPECT_EQ(follower.viewQueries(), 1u);
    follower.waysAround(at(2500, 0), 4000);
    EXPECT_EQ(follower.viewQueries(), 2u);
    follower.waysAround(at(2500, 0), 500);
    EXPECT_EQ(follower.viewQueries(), 3u);
    EXPECT_EQ(follower.waysAround(at(2500, 0), 500).size(), 0u);
    EXPECT_EQ(follower.waysAround(at(100, 0), 500).size(), 3u);
}

TEST(RoadCache, MovingOnHoldsTheSameWaysAsAFreshReadWhileReadingOnlyTheNewStrips)
{
    // Grid streets every 100 m over 4 km, in pieces of 200 m.
    MemoryRoads grid;
    std::int64_t id = 1;
    for (int line = -20; line <= 20; ++line)
        for (int from = -20; from < 20; from += 2) {
            grid.all.push_back(way(id++, {{from * 100.0, line * 100.0}, {(from + 2) * 100.0, line * 100.0}}));
            grid.all.push_back(way(id++, {{line * 100.0, from * 100.0}, {line * 100.0, (from + 2) * 100.0}}));
        }
    auto ids = [](const std::vector<RoadWay>& ways) {
        std::vector<std::int64_t> out;
        for (const RoadWay& w : ways)
            out.push_back(w.id);
        std::sort(out.begin(), out.end());
        return out;
    };
    RoadCache moving(grid);
    // North-east, then back south-west, zooming out and in on the way.
    const std::vector<std::tuple<double, double, double>> steps = {
        {0, 0, 400},      {250, 0, 400},    {250, 330, 400},   {600, 700, 400},   {600, 700, 900},
        {-200, 100, 900}, {-200, 100, 200}, {-350, -300, 200}, {3000, 3000, 300}, {-1000, -1000, 500}};
    for (const auto& [east, north, half] : steps) {
        const int before = grid.queries;
        EXPECT_TRUE(moving.need(at(east, north), half));
        RoadCache fresh(grid);
        fresh.need(at(east, north), half);
        EXPECT_EQ(ids(moving.ways()), ids(fresh.ways())) << east << " " << north << " " << half;
        EXPECT_LE(grid.queries - before, 5) << "at most four strips";
    }
}
