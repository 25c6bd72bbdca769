// A grid over the editor's entries by their extents, so a paint looks only at
// the entries near the screen instead of at every way of a large OSM file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "trackedit/TrackEntry.h"

namespace varno::trackedit {

struct GeoBox {
    double minLatDeg = 0.0, maxLatDeg = 0.0, minLonDeg = 0.0, maxLonDeg = 0.0;
};

class EntryIndex {
public:
    // Indexes the entries' extents. Entries whose points may still change (the
    // logs named by the map file) or that have no extent yet are always
    // candidates; so are those spanning a large part of the grid.
    void build(std::span<const TrackEntry> entries);

    // The entries whose extent may meet box, in list order, into out.
    void query(const GeoBox& box, std::vector<std::uint32_t>& out) const;

    std::size_t size() const { return count_; }

private:
    int cellColumn(double lonDeg) const;
    int cellRow(double latDeg) const;

    std::size_t count_ = 0;
    double minLat_ = 0.0, minLon_ = 0.0, cellLat_ = 1.0, cellLon_ = 1.0;
    int columns_ = 0, rows_ = 0;
    std::vector<std::uint32_t> cellStart_; // rows_ * columns_ + 1 offsets into items_
    std::vector<std::uint32_t> items_;
    std::vector<std::uint32_t> always_;
    // Marks an entry already taken in the current query.
    mutable std::vector<std::uint32_t> seen_;
    mutable std::uint32_t queryNumber_ = 0;
};

} // namespace varno::trackedit
