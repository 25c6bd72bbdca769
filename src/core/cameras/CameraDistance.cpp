// The flat-earth distance from the fix that selects and ranks cameras.
#include "cameras/CameraDistance.h"

#include "cameras/CameraPoint.h"

namespace varno::cameras {

double CameraDistance(double lat, double lon, double fixLat, double fixLon)
{
    if (lat == 0.0 || lon == 0.0 || fixLat == 0.0)
        return kNoDistance;
    return std::sqrt(squaredCameraDistance(lat, lon, std::cos(lat * geo::kDegToRad), fixLat, fixLon));
}

double CameraDistance(const CameraPoint& camera, double fixLat, double fixLon)
{
    // As above, with the cosine the record worked out when it was read.
    if (camera.lat == 0.0 || camera.lon == 0.0 || fixLat == 0.0)
        return kNoDistance;
    return std::sqrt(squaredCameraDistance(camera.lat, camera.lon, camera.cosLat, fixLat, fixLon));
}

} // namespace varno::cameras
