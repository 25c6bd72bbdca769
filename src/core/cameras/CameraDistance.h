// The flat-earth distance from the fix that selects and ranks cameras.
#pragma once

#include <cmath>

#include "geo/MapGeometry.h"

namespace varno::cameras {

struct CameraPoint;

// Returned when a distance cannot be computed (a zero coordinate means "no position").
inline constexpr double kNoDistance = -1.0;

// [m] north = |dlat| * 111248.4, east = cos(camera latitude) * |dlon| * 111319.2.
// kNoDistance when lat, lon or fixLat is 0.0.
double CameraDistance(double lat, double lon, double fixLat, double fixLon);
double CameraDistance(const CameraPoint& camera, double fixLat, double fixLon);

// [m²] north² + east² of the distance above, for a camera with a position and
// the cosine of its latitude at hand; its square root is the distance, to the
// bit. The nearest-camera searches compare these and take one root per
// better camera.
inline double squaredCameraDistance(double lat, double lon, double cosLat, double fixLat, double fixLon)
{
    const double north = std::fabs(lat - fixLat) * geo::kMetresPerDegreeNorth;
    const double east = cosLat * std::fabs(lon - fixLon) * geo::kMetresPerDegreeEast;
    return north * north + east * east;
}

} // namespace varno::cameras
