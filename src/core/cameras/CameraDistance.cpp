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
    return CameraDistance(camera.lat, camera.lon, fixLat, fixLon);
}

} // namespace varno::cameras
