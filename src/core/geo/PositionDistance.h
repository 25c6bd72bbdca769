// The distance between two typed positions, as the distance tool shows it.
#pragma once

#include <string>
#include <string_view>

namespace varno::geo {

// [m] The flat-earth distance the camera search uses: north = |dlat| * 111248.4,
// east = cos(lat1) * |dlon| * 111319.2, with the cosine of the first position's
// latitude. Unlike a camera's distance, a zero coordinate is a value like any other.
double positionDistance(double lat1, double lon1, double lat2, double lon2);

// The four texts read like atof (a text that does not start with a number is 0)
// and the distance in kilometres with three decimals and " km", whatever the locale.
std::string positionDistanceText(std::string_view lat1, std::string_view lon1, std::string_view lat2,
                                 std::string_view lon2);

} // namespace varno::geo
