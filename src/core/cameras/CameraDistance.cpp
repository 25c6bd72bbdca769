// The flat-earth distance from the fix that selects and ranks cameras.
#include "cameras/CameraDistance.h"

#include "cameras/CameraPoint.h"

namespace varno::cameras {

double CameraDistance(geo::LatLon camera, geo::LatLon fix)
{
    if (!camera || !fix)
        return kNoDistance;
    return std::sqrt(squaredCameraDistance(camera, std::cos(camera.latDeg() * geo::kDegToRad), fix));
}

double CameraDistance(const CameraPoint& camera, geo::LatLon fix)
{
    // As above, with the cosine the record worked out when it was read.
    const geo::LatLon at = camera.position();
    if (!at || !fix)
        return kNoDistance;
    return std::sqrt(squaredCameraDistance(at, camera.cosLat, fix));
}

} // namespace varno::cameras
