// The flat-earth distance from the fix that selects and ranks cameras.
#pragma once

#include <cmath>

#include "geo/MapGeometry.h"

namespace varno::cameras {

struct CameraPoint;

// Returned when a distance cannot be computed (a zero coordinate means "no position").
inline constexpr double kNoDistance = -1.0;

// [m] north = |dlat| * 111248.4, east = cos(camera latitude) * |dlon| * 111319.2.
// kNoDistance when the camera or the fix has no position.
double CameraDistance(geo::LatLon camera, geo::LatLon fix);
double CameraDistance(const CameraPoint& camera, geo::LatLon fix);

// [m²] north² + east² of the distance above, for a camera and a fix that both
// have a position, with the cosine of the camera's latitude at hand; its
// square root is the distance, to the bit. The nearest-camera searches compare
// these and take one root per better camera.
inline double squaredCameraDistance(geo::LatLon camera, double cosLat, geo::LatLon fix)
{
    const double north = std::fabs(camera.latDeg() - fix.latDeg()) * geo::kMetresPerDegreeNorth;
    const double east = cosLat * std::fabs(camera.lonDeg() - fix.lonDeg()) * geo::kMetresPerDegreeEast;
    return north * north + east * east;
}

} // namespace varno::cameras
