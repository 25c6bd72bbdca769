// The ways of the road map around a place, queried again only when the place moves near the edge of what was
// read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "geo/LatLon.h"
#include "roads/RoadWay.h"

namespace varno::roads {

// A square box of `halfM` metres either side of a centre [deg].
RoadBox boxAround(geo::LatLon centre, double halfM);

// Holds the ways of one box read from a source. need() asks for the square
// of halfM metres around a centre; the source is read again only when that
// square is not inside the box already read (or asks for much less, so that
// zooming in does not keep a city's worth of ways). The box read reaches
// `margin` times halfM further on every side, so that a car moving along
// crosses its edge once every margin × halfM metres, not on every fix or paint.
// Moving on, only the strips of the new box outside the old one are read:
// the ways held that still meet the new box stay, those read anew join them.
class RoadCache {
public:
    explicit RoadCache(const RoadSource& source, double margin = 0.5) : source_(source), margin_(margin) {}

    // True when the source was read again.
    bool need(geo::LatLon centre, double halfM);
    const std::vector<RoadWay>& ways() const { return ways_; }
    // How often the source was read (for tests and benchmarks).
    std::size_t queries() const { return queries_; }
    // Forgets what was read: the next need() reads again.
    void clear();

private:
    void readAll(const RoadBox& box);
    void readOutside(const RoadBox& box);

    const RoadSource& source_;
    double margin_;
    bool held_ = false;
    RoadBox box_;
    double heldHalfM_ = 0.0;
    std::vector<RoadWay> ways_;
    std::vector<RoadBox> extents_; // of ways_, one each
    std::size_t queries_ = 0;
    // Scratch space of the reads, kept for its capacity.
    std::vector<RoadWay> read_;
    std::vector<RoadWay> kept_;
    std::vector<RoadBox> keptExtents_;
    std::unordered_set<std::int64_t> ids_;
};

} // namespace varno::roads
