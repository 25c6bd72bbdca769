// The road map's values: maxspeed as mappers write it, and the point blob,
// which must give back what was put in and refuse what is damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roads/MaxSpeed.h"
#include "roads/RoadWay.h"
#include "roads/WayGeometry.h"

using namespace varno::roads;

TEST(MaxSpeed, ReadsValuesAsMappersWriteThem)
{
    const struct {
        const char* text;
        int kph;
    } cases[] = {
        {"50", 50},
        {" 50 ", 50},
        {"50 km/h", 50},
        {"50kmh", 50},
        {"50 kph", 50},
        {"30 mph", 48},
        {"30mph", 48},
        {"70 mph", 113},
        {"10 knots", 19},
        {"none", kLimitNone},
        {"None", kLimitNone},
        {"walk", 7},
        {"signals", kLimitUnknown},
        {"variable", kLimitUnknown},
        {"", kLimitUnknown},
        {"60;50", 60},
        {"80|60", 80},
        {"fast", kLimitUnknown},
        {"50 furlongs", kLimitUnknown},
        {"0", kLimitUnknown},
        {"-30", kLimitUnknown},
        {"5000", kLimitUnknown},
        {"inf", kLimitUnknown},
        {"nan", kLimitUnknown},
        {"DE:urban", 50},
        {"de:urban", 50},
        {"DE:rural", 100},
        {"DE:motorway", kLimitNone},
        {"DE:living_street", 7},
        {"GB:nsl_single", 97},
        {"GB:nsl_dual", 113},
        {"GB:motorway", 113},
        {"NL:urban", 50},
        {"FR:urban", 50},
        {"AT:rural", 100},
        {"CH:motorway", 120},
        {"BE-VLG:rural", 70},
        {"IT:motorway", 130},
        {"PL:motorway", 140},
        {"DK:rural", 80},
        {"DE:zone30", 30},
        {"DE:zone:30", 30},
        {"GB:zone20", 32},
        {"DE:zone", kLimitUnknown},
        {"DE:zone:x", kLimitUnknown},
        {"XX:urban", kLimitUnknown},
        {"DE:urban;DE:rural", 50},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseMaxSpeed(c.text), c.kph) << '"' << c.text << '"';
}

TEST(WayGeometry, GivesBackWhatWasPutIn)
{
    const std::vector<std::vector<PointE7>> ways = {
        {{535612345, 132612345}},
        {{535612345, 132612345}, {535612400, 132612300}, {535600000, 132700000}},
        // the corners of the globe, and the longest steps there are
        {{-900000000, -1800000000}, {900000000, 1800000000}, {-900000000, 1800000000}, {0, 0}},
    };
    for (const auto& points : ways) {
        const std::string blob = encodeWayGeometry(points);
        std::vector<PointE7> back;
        ASSERT_TRUE(decodeWayGeometry(blob, back));
        EXPECT_EQ(back, points);
        std::vector<varno::geo::LatLon> degrees;
        ASSERT_TRUE(decodeWayGeometry(blob, degrees));
        ASSERT_EQ(degrees.size(), points.size());
        EXPECT_DOUBLE_EQ(degrees[0].latDeg(), points[0].lat / 1e7);
        EXPECT_DOUBLE_EQ(degrees[0].lonDeg(), points[0].lon / 1e7);
    }
    // Close points take few bytes: a count, a whole point, then two bytes a step.
    std::vector<PointE7> street;
    for (int i = 0; i < 100; ++i)
        street.push_back({535600000 + i * 50, 132600000 + i * 30});
    EXPECT_LE(encodeWayGeometry(street).size(), 1u + 10u + 99u * 2u);
}

TEST(WayGeometry, RefusesDamagedBlobs)
{
    const std::string good =
        encodeWayGeometry(std::vector<PointE7>{{535612345, 132612345}, {535612400, 132612300}});
    std::vector<PointE7> out{{1, 1}};
    // Cut anywhere short, or with a byte more, it is refused and nothing is given out.
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(decodeWayGeometry(good.substr(0, n), out)) << n;
        EXPECT_TRUE(out.empty());
    }
    EXPECT_FALSE(decodeWayGeometry(good + '\0', out));

    const auto blob = [](std::initializer_list<unsigned> bytes) {
        std::string s;
        for (unsigned b : bytes)
            s.push_back(static_cast<char>(b));
        return s;
    };
    EXPECT_FALSE(decodeWayGeometry(blob({0x00}), out)); // no point
    // a count of 2^35 before two bytes of points: refused before any reserve
    EXPECT_FALSE(decodeWayGeometry(blob({0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 0x02, 0x02}), out));
    // a varint that never ends
    EXPECT_FALSE(decodeWayGeometry(
        blob({0x01, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}), out));
    // latitude 91 degrees: 910000000 zigzagged
    std::vector<PointE7> north{{900000000, 0}};
    std::string offGlobe = encodeWayGeometry(north);
    EXPECT_TRUE(decodeWayGeometry(offGlobe, out));
    north.push_back({900000000, 0});
    offGlobe = encodeWayGeometry(north);
    offGlobe[offGlobe.size() - 2] = 2; // the second point one unit further north
    EXPECT_FALSE(decodeWayGeometry(offGlobe, out));
    std::vector<PointE7> beyondCount(kMaxWayPoints + 1, PointE7{1, 1});
    EXPECT_FALSE(decodeWayGeometry(encodeWayGeometry(beyondCount), out));
}
