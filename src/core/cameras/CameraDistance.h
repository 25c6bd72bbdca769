// The flat-earth distance from the fix that selects and ranks cameras.
#pragma once

namespace varno::cameras {

struct CameraPoint;

// Returned when a distance cannot be computed (a zero coordinate means "no position").
inline constexpr double kNoDistance = -1.0;

// [m] north = |dlat| * 111248.4, east = cos(camera latitude) * |dlon| * 111319.2.
// kNoDistance when lat, lon or fixLat is 0.0.
double CameraDistance(double lat, double lon, double fixLat, double fixLon);
double CameraDistance(const CameraPoint& camera, double fixLat, double fixLon);

} // namespace varno::cameras
