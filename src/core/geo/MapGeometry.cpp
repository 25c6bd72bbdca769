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

std::string mapRadiusLabel(double mapRadius)
{
    if (mapRadius < 1000)
        return fmt::sprintf("Map radius %1.1fkm", mapRadius / 1000);
    return fmt::sprintf("Map radius %.0fkm", mapRadius / 1000);
}

} // namespace varno::geo
