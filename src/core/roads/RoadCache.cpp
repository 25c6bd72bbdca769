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

namespace {

RoadBox extentOf(const RoadWay& w)
{
    RoadBox e{90.0, 180.0, -90.0, -180.0};
    for (const geo::LatLon& p : w.points) {
        e.south = std::min(e.south, p.latDeg());
        e.north = std::max(e.north, p.latDeg());
        e.west = std::min(e.west, p.lonDeg());
        e.east = std::max(e.east, p.lonDeg());
    }
    return e;
}

bool meets(const RoadBox& a, const RoadBox& b)
{
    return a.south <= b.north && a.north >= b.south && a.west <= b.east && a.east >= b.west;
}

} // namespace

void RoadCache::clear()
{
    held_ = false;
    ways_.clear();
    extents_.clear();
}

void RoadCache::readAll(const RoadBox& box)
{
    source_.waysIn(box, ways_);
    extents_.clear();
    extents_.reserve(ways_.size());
    for (const RoadWay& w : ways_)
        extents_.push_back(extentOf(w));
}

void RoadCache::readOutside(const RoadBox& box)
{
    // The ways held that still meet the new box stay.
    kept_.clear();
    keptExtents_.clear();
    ids_.clear();
    for (std::size_t i = 0; i < ways_.size(); ++i)
        if (meets(extents_[i], box)) {
            ids_.insert(ways_[i].id);
            kept_.push_back(std::move(ways_[i]));
            keptExtents_.push_back(extents_[i]);
        }
    // The strips of the new box outside the old: south and north of it
    // across the new box's width, then west and east of it between them.
    const RoadBox& old = box_;
    std::vector<RoadBox> strips;
    if (box.south < old.south)
        strips.push_back({box.south, box.west, std::min(box.north, old.south), box.east});
    if (box.north > old.north)
        strips.push_back({std::max(box.south, old.north), box.west, box.north, box.east});
    const double south = std::max(box.south, old.south), north = std::min(box.north, old.north);
    if (box.west < old.west)
        strips.push_back({south, box.west, north, std::min(box.east, old.west)});
    if (box.east > old.east)
        strips.push_back({south, std::max(box.west, old.east), north, box.east});
    for (const RoadBox& strip : strips) {
        source_.waysIn(strip, read_);
        for (RoadWay& w : read_)
            if (ids_.insert(w.id).second) {
                keptExtents_.push_back(extentOf(w));
                kept_.push_back(std::move(w));
            }
    }
    std::swap(ways_, kept_);
    std::swap(extents_, keptExtents_);
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
    const RoadBox box = boxAround(centre, halfM * (1.0 + margin_));
    if (held_ && !tooWide && meets(box, box_))
        readOutside(box);
    else
        readAll(box);
    box_ = box;
    heldHalfM_ = halfM;
    held_ = true;
    ++queries_;
    return true;
}

} // namespace varno::roads
