// The flat-earth projection every map view shares: offsets from the fix and screen points.
#include "geo/MapGeometry.h"

#include <cmath>

#include <fmt/printf.h>

namespace varno::geo {

std::optional<Offset> LatLonToMetres(LatLon object, LatLon fix)
{
    if (!object || !fix)
        return std::nullopt;
    Offset o;
    o.north = (object.latDeg() - fix.latDeg()) * kMetresPerDegreeNorth;
    o.east = (object.lonDeg() - fix.lonDeg()) * std::cos(object.latDeg() * kDegToRad) * kMetresPerDegreeEast;
    return o;
}

std::optional<ScreenPoint> screenPoint(Offset offset, double mapRadius, int centreX, int centreY)
{
    // Strict on both sides: the visible area is a square in metres.
    if (!(-mapRadius < offset.east && offset.east < mapRadius && -mapRadius < offset.north &&
          offset.north < mapRadius))
        return std::nullopt;
    double px = offset.east == 0.0 ? 0.0 : offset.east * kPixelsPerRadiusX / mapRadius;
    double py = offset.north == 0.0 ? 0.0 : offset.north * kPixelsPerRadiusY / mapRadius;
    ScreenPoint p;
    p.x = static_cast<int>(centreX + px);
    p.y = static_cast<int>(centreY - py);
    return p;
}

std::string mapRadiusLabel(double mapRadius)
{
    if (mapRadius < 1000)
        return fmt::sprintf("Map radius %1.1fkm", mapRadius / 1000);
    return fmt::sprintf("Map radius %.0fkm", mapRadius / 1000);
}

} // namespace varno::geo
