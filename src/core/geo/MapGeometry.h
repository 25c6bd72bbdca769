// The flat-earth projection every map view shares: offsets from the fix and screen points.
#pragma once

#include <optional>
#include <string>

#include "geo/LatLon.h"

namespace varno::geo {

inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kMetresPerDegreeNorth = 111248.4;
inline constexpr double kMetresPerDegreeEast = 111319.2;
// MapRadius metres span this many pixels across and down.
inline constexpr double kPixelsPerRadiusX = 170.0;
inline constexpr double kPixelsPerRadiusY = 125.0;

struct Offset {
    double east = 0.0;  // [m] positive east of the fix
    double north = 0.0; // [m] positive north of the fix
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Metres east and north of the fix; the east offset uses the cosine of the
// object's own latitude. nullopt when the object or the fix has no position.
std::optional<Offset> LatLonToMetres(LatLon object, LatLon fix);

// Where an object lands on a view whose centre is (centreX, centreY): nullopt
// unless both offsets lie strictly inside (-radius, radius), so a radius of 0
// shows nothing. Pixel offsets are truncated toward zero.
// Inline: the map views place every point of a trail through it.
inline std::optional<ScreenPoint> screenPoint(Offset offset, double mapRadius, int centreX, int centreY)
{
    // Strict on both sides: the visible area is a square in metres.
    if (!(-mapRadius < offset.east && offset.east < mapRadius && -mapRadius < offset.north &&
          offset.north < mapRadius))
        return std::nullopt;
    const double px = offset.east == 0.0 ? 0.0 : offset.east * kPixelsPerRadiusX / mapRadius;
    const double py = offset.north == 0.0 ? 0.0 : offset.north * kPixelsPerRadiusY / mapRadius;
    return ScreenPoint{static_cast<int>(centreX + px), static_cast<int>(centreY - py)};
}

// Bounds outside which a place is certainly off the map square of this
// radius around the fix, kept a little generous so that only the exact test
// decides what lies inside: latitudes south of south or north of north, and
// longitudes lonReach or more from the fix's at every latitude in between.
struct SquareBounds {
    double south = 0.0, north = 0.0, lonReach = 0.0;
};
SquareBounds squareBounds(LatLon fix, double mapRadius);

// "Map radius %1.1fkm" below 1000 m, else "Map radius %.0fkm".
std::string mapRadiusLabel(double mapRadius);

} // namespace varno::geo
