// The flat-earth projection every map view shares: offsets from the fix and screen points.
#include "geo/MapGeometry.h"

#include <algorithm>
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

SquareBounds squareBounds(LatLon fix, double mapRadius)
{
    SquareBounds b;
    const double reach = mapRadius / kMetresPerDegreeNorth * (1.0 + 1e-9) + 1e-9;
    b.south = fix.latDeg() - reach;
    b.north = fix.latDeg() + reach;
    // The longitude reach is widest at the latitude of smallest cosine.
    const double widest = std::max(std::fabs(b.south), std::fabs(b.north));
    const double minCos = widest >= 90.0 ? 0.0 : std::cos(widest * kDegToRad) * (1.0 - 1e-9);
    b.lonReach = minCos > 0.0 ? mapRadius / (minCos * kMetresPerDegreeEast) * (1.0 + 1e-9) + 1e-9 : 1e300;
    return b;
}

} // namespace varno::geo
