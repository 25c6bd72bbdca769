// The editor's grid of entries by extent.
#include "trackedit/EntryIndex.h"

#include <algorithm>
#include <cmath>

namespace varno::trackedit {
namespace {

// Entries covering more cells than this are tested on every paint; the grid
// then holds at most this many references an entry.
constexpr long kMaxCellsPerEntry = 16;

// Across a tall extent the screen lines between its points bend away from it
// in longitude: such entries are tested on every paint, as the drawing does.
constexpr double kMaxIndexedLatSpan = 0.5;

bool indexed(const TrackEntry& e)
{
    const TrackExtent& x = e.extent;
    return !e.path && !x.empty && std::isfinite(x.minLatDeg) && std::isfinite(x.maxLatDeg) &&
           std::isfinite(x.minLonDeg) && std::isfinite(x.maxLonDeg) &&
           x.maxLatDeg - x.minLatDeg <= kMaxIndexedLatSpan;
}

} // namespace

int EntryIndex::cellColumn(double lonDeg) const
{
    const double c = std::floor((lonDeg - minLon_) / cellLon_);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(columns_ - 1)));
}

int EntryIndex::cellRow(double latDeg) const
{
    const double r = std::floor((latDeg - minLat_) / cellLat_);
    return static_cast<int>(std::clamp(r, 0.0, static_cast<double>(rows_ - 1)));
}

void EntryIndex::build(std::span<const TrackEntry> entries)
{
    count_ = entries.size();
    items_.clear();
    always_.clear();
    seen_.assign(entries.size(), 0);
    queryNumber_ = 0;

    GeoBox all{90.0, -90.0, 180.0, -180.0};
    std::size_t n = 0;
    for (const TrackEntry& e : entries) {
        if (!indexed(e))
            continue;
        all.minLatDeg = std::min(all.minLatDeg, e.extent.minLatDeg);
        all.maxLatDeg = std::max(all.maxLatDeg, e.extent.maxLatDeg);
        all.minLonDeg = std::min(all.minLonDeg, e.extent.minLonDeg);
        all.maxLonDeg = std::max(all.maxLonDeg, e.extent.maxLonDeg);
        ++n;
    }
    // About four entries a cell, at most 512 cells a side.
    const int side = static_cast<int>(std::clamp(std::sqrt(static_cast<double>(n) / 4.0), 1.0, 512.0));
    columns_ = rows_ = side;
    minLat_ = n ? all.minLatDeg : 0.0;
    minLon_ = n ? all.minLonDeg : 0.0;
    cellLat_ = n ? std::max((all.maxLatDeg - all.minLatDeg) / side, 1e-9) : 1.0;
    cellLon_ = n ? std::max((all.maxLonDeg - all.minLonDeg) / side, 1e-9) : 1.0;

    // Two passes: count each cell's entries, then fill them in list order.
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(rows_) * columns_ + 1, 0);
    const auto forCells = [&](const TrackExtent& x, auto&& fn) {
        const int c0 = cellColumn(x.minLonDeg), c1 = cellColumn(x.maxLonDeg);
        const int r0 = cellRow(x.minLatDeg), r1 = cellRow(x.maxLatDeg);
        if (static_cast<long>(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerEntry)
            return false;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                fn(static_cast<std::size_t>(r) * columns_ + c);
        return true;
    };
    std::vector<bool> inCells(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!indexed(entries[i]) ||
            !forCells(entries[i].extent, [&](std::size_t cell) { ++counts[cell + 1]; }))
            always_.push_back(static_cast<std::uint32_t>(i));
        else
            inCells[i] = true;
    }
    for (std::size_t c = 1; c < counts.size(); ++c)
        counts[c] += counts[c - 1];
    cellStart_ = counts;
    items_.resize(counts.back());
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (inCells[i])
            forCells(entries[i].extent,
                     [&](std::size_t cell) { items_[counts[cell]++] = static_cast<std::uint32_t>(i); });
}

void EntryIndex::query(const GeoBox& box, std::vector<std::uint32_t>& out) const
{
    out.clear();
    if (count_ == 0)
        return;
    if (++queryNumber_ == 0) { // wrapped: forget the old marks
        std::fill(seen_.begin(), seen_.end(), 0);
        queryNumber_ = 1;
    }
    out = always_;
    const bool outside = box.maxLatDeg < minLat_ || box.minLatDeg > minLat_ + cellLat_ * rows_ ||
                         box.maxLonDeg < minLon_ || box.minLonDeg > minLon_ + cellLon_ * columns_ ||
                         !(box.minLatDeg <= box.maxLatDeg) || !(box.minLonDeg <= box.maxLonDeg);
    if (!outside && !items_.empty()) {
        const int c0 = cellColumn(box.minLonDeg), c1 = cellColumn(box.maxLonDeg);
        const int r0 = cellRow(box.minLatDeg), r1 = cellRow(box.maxLatDeg);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::size_t cell = static_cast<std::size_t>(r) * columns_ + c;
                for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
                    const std::uint32_t i = items_[k];
                    if (seen_[i] != queryNumber_) {
                        seen_[i] = queryNumber_;
                        out.push_back(i);
                    }
                }
            }
    }
    std::sort(out.begin(), out.end());
}

} // namespace varno::trackedit
