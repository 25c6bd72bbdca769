// The distance between two typed positions, as the distance tool shows it.
#include "geo/PositionDistance.h"

#include <cmath>
#include <fmt/format.h>

#include "base/Numbers.h"
#include "geo/MapGeometry.h"

namespace varno::geo {

double positionDistance(double lat1, double lon1, double lat2, double lon2)
{
    const double north = std::fabs(lat1 - lat2) * kMetresPerDegreeNorth;
    const double east = std::cos(lat1 * kDegToRad) * std::fabs(lon1 - lon2) * kMetresPerDegreeEast;
    return std::sqrt(north * north + east * east);
}

std::string positionDistanceText(std::string_view lat1, std::string_view lon1, std::string_view lat2,
                                 std::string_view lon2)
{
    const double m =
        positionDistance(leadingDouble(lat1), leadingDouble(lon1), leadingDouble(lat2), leadingDouble(lon2));
    return fmt::format("{:1.3f} km", m / 1000.0);
}

} // namespace varno::geo
