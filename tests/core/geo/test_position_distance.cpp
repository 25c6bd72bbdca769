// The distance tool's arithmetic and the reading of what the user typed.
#include <gtest/gtest.h>

#include "geo/PositionDistance.h"

using varno::geo::positionDistanceText;

TEST(PositionDistance, TypedPositionsGiveKilometresWithThreeDecimals)
{
    struct Case {
        const char *lat1, *lon1, *lat2, *lon2, *expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             // Across the Greenwich meridian: a difference of one degree, not of their absolute values.
             {"0", "-0.5", "0", "0.5", "111.319 km"},
             // Zeros are values: the equator and the meridian are places, not "no position".
             {"0", "0", "1", "0", "111.248 km"},
             // The cosine is the first position's: 60 degrees north halves the east distance, and the
             // same two places taken the other way round are a different distance.
             {"60", "0", "60", "1", "55.660 km"},
             {"60", "0", "0", "1", "6675.136 km"},
             {"0", "1", "60", "0", "6675.832 km"},
             // Texts read like atof: leading blanks and a sign, the number's end stops it, no number is 0.
             {"  +1.0e0xyz", "0", "", "0", "111.248 km"},
             {"N51", "abc", "0", "0", "0.000 km"},
             {"51,5", "0", "50", "0", "111.248 km"},
         }) {
        EXPECT_EQ(positionDistanceText(c.lat1, c.lon1, c.lat2, c.lon2), c.expected)
            << c.lat1 << " " << c.lon1 << " -> " << c.lat2 << " " << c.lon2;
    }
}
