// The Neubrandenburg extract built into a road map and driven along: the roads matched on its streets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/base/ScratchFiles.h"
#include "geo/MapGeometry.h"
#include "gps/Presentation.h"
#include "roads/RoadFollower.h"
#include "roads/RoadMapBuilder.h"

using namespace varno;
using namespace varno::roads;

namespace {

const std::string kNeubrandenburg = std::string(VARNO_CORPUS_DIR) + "/osm/josm/neubrandenburg.osm";

gps::Fix fixAt(double lat, double lon, double courseDeg)
{
    gps::Fix f;
    f.position = geo::LatLon(lat, lon);
    f.courseDeg = courseDeg;
    f.speedKnots = 40.0 / gps::kKnotsToKph;
    return f;
}

} // namespace

TEST(RoadCorpusMatch, StreetsOfNeubrandenburgBothWaysAOnewayAndAJunction)
{
    if (!std::filesystem::exists(kNeubrandenburg))
        GTEST_SKIP() << kNeubrandenburg << " is not here";
    test::ScratchDir dir;
    const std::string map = dir.file("neubrandenburg.sqlite");
    const Report built = buildRoadMap(kNeubrandenburg, map);
    ASSERT_TRUE(built.ok()) << built.message;
    OpenedRoadMap opened = openRoadMap(map);
    ASSERT_TRUE(opened.source) << opened.error;
    // The points of Ihlenfelder Straße's longest piece, as the map holds them.
    std::vector<RoadWay> around;
    opened.source->waysIn(boxAround(geo::LatLon(53.5735, 13.2870), 50.0), around);
    const auto street =
        std::find_if(around.begin(), around.end(), [](const RoadWay& w) { return w.id == 13870102; });
    ASSERT_NE(street, around.end());
    const std::vector<geo::LatLon> points = street->points;
    RoadFollower follower(std::move(opened.source));

    // Along it, a fix every stretch's middle, to the south-west and then back
    // up it: the same road all the way, both ways.
    for (const bool back : {false, true})
        for (std::size_t k = 1; k < points.size(); ++k) {
            const std::size_t i = back ? points.size() - k : k;
            const geo::LatLon a = points[back ? i : i - 1], b = points[back ? i - 1 : i];
            const double course =
                std::atan2((b.lonDeg() - a.lonDeg()) * std::cos(a.latDeg() * geo::kDegToRad),
                           b.latDeg() - a.latDeg()) /
                geo::kDegToRad;
            const auto& r = follower.onFix(fixAt((a.latDeg() + b.latDeg()) / 2, (a.lonDeg() + b.lonDeg()) / 2,
                                                 course < 0 ? course + 360 : course),
                                           true);
            ASSERT_TRUE(r) << k;
            EXPECT_EQ(r->name, "Ihlenfelder Straße") << k;
            EXPECT_EQ(r->ref, "L 28");
            EXPECT_EQ(r->limitKph, 50);
            EXPECT_LT(r->distanceM, 1.0);
        }

    // At the corner of Usedomer Straße, heading into it, the side street.
    follower.onFix(fixAt(53.5700, 13.2775, 120.0), true);
    ASSERT_TRUE(follower.road());
    EXPECT_EQ(follower.road()->name, "Usedomer Straße");

    // Torgelower Straße is one way, westwards: matched that way, never against it.
    const auto& west = follower.onFix(fixAt(53.56491, 13.2705, 270.0), true);
    ASSERT_TRUE(west);
    EXPECT_EQ(west->wayId, 14003940);
    EXPECT_EQ(west->name, "Torgelower Straße");
    const auto& east = follower.onFix(fixAt(53.56491, 13.2705, 90.0), true);
    EXPECT_TRUE(!east || east->wayId != 14003940);

    // And no fix, no road.
    EXPECT_FALSE(follower.onFix(fixAt(53.56491, 13.2705, 270.0), false));
}
