// The flat-earth distance from the fix that selects and ranks cameras.
#include "cameras/CameraDistance.h"

#include <cmath>

#include "cameras/CameraPoint.h"
#include "geo/MapGeometry.h"

namespace varno::cameras {

double CameraDistance(double lat, double lon, double fixLat, double fixLon)
{
    if (lat == 0.0 || lon == 0.0 || fixLat == 0.0)
        return kNoDistance;
    double north = std::fabs(lat - fixLat) * geo::kMetresPerDegreeNorth;
    double east = std::cos(lat * geo::kDegToRad) * std::fabs(lon - fixLon) * geo::kMetresPerDegreeEast;
    return std::sqrt(north * north + east * east);
}

double CameraDistance(const CameraPoint& camera, double fixLat, double fixLon)
{
    // As above, with the cosine the record worked out when it was read.
    if (camera.lat == 0.0 || camera.lon == 0.0 || fixLat == 0.0)
        return kNoDistance;
    double north = std::fabs(camera.lat - fixLat) * geo::kMetresPerDegreeNorth;
    double east = camera.cosLat * std::fabs(camera.lon - fixLon) * geo::kMetresPerDegreeEast;
    return std::sqrt(north * north + east * east);
}

} // namespace varno::cameras
