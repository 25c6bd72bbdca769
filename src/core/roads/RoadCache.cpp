// The ways of the road map around a place, queried again only when the place moves near the edge of what was
// read.
#include "roads/RoadCache.h"

#include <algorithm>
#include <cmath>

#include "geo/MapGeometry.h"

namespace varno::roads {

RoadBox boxAround(geo::LatLon centre, double halfM)
{
    const double dLat = halfM / geo::kMetresPerDegreeNorth;
    // The longitude reach at the box's edge nearest a pole, where a degree is shortest.
    const double edgeLat = std::min(89.9, std::fabs(centre.latDeg()) + dLat);
    const double dLon = halfM / (geo::kMetresPerDegreeEast * std::cos(edgeLat * geo::kDegToRad));
    return {centre.latDeg() - dLat, centre.lonDeg() - dLon, centre.latDeg() + dLat, centre.lonDeg() + dLon};
}

void RoadCache::clear()
{
    held_ = false;
    ways_.clear();
}

bool RoadCache::need(geo::LatLon centre, double halfM)
{
    if (!centre || !(halfM > 0.0))
        return false;
    const RoadBox want = boxAround(centre, halfM);
    const bool inside = held_ && want.south >= box_.south && want.north <= box_.north &&
                        want.west >= box_.west && want.east <= box_.east;
    // Zoomed in far from what was read: a box four times too wide holds
    // sixteen times the ways each paint walks through.
    const bool tooWide = held_ && heldHalfM_ > 4.0 * halfM;
    if (inside && !tooWide)
        return false;
    box_ = boxAround(centre, halfM * (1.0 + margin_));
    heldHalfM_ = halfM;
    held_ = true;
    source_.waysIn(box_, ways_);
    ++queries_;
    return true;
}

} // namespace varno::roads
