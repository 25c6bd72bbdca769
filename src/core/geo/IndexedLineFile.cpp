// A text file of lines read once and indexed by position.
#include "geo/IndexedLineFile.h"

#include <algorithm>
#include <cmath>

#include "base/LineReader.h"
#include "geo/MapGeometry.h"

namespace varno::geo {
namespace {

// Grid cells of 0.1 degree in latitude and longitude.
constexpr double kCellDeg = 0.1;
constexpr std::uint32_t kRows = 1800;
constexpr std::uint32_t kCols = 3600;

// The cell number of a coordinate, held within a few cells of the grid first:
// a fix far off the globe must not make a number too big for an integer (nan
// goes to the low end).
std::int64_t cellOf(double deg, double lowDeg, std::uint32_t cells)
{
    double cell = std::floor((deg - lowDeg) / kCellDeg);
    if (!(cell > -2.0))
        cell = -2.0;
    cell = std::min(cell, static_cast<double>(cells) + 1.0);
    return static_cast<std::int64_t>(cell);
}

std::int64_t rowOf(double lat)
{
    return cellOf(lat, -90.0, kRows);
}

std::int64_t colOf(double lon)
{
    return cellOf(lon, -180.0, kCols);
}

std::uint32_t clampTo(std::int64_t v, std::uint32_t n)
{
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, n - 1));
}

} // namespace

IndexedLineFile::IndexedLineFile(std::string text, std::size_t lineLimit, Position position)
    : text_(std::move(text))
{
    const std::string_view all(text_);
    std::size_t pos = 0;
    while (pos < all.size()) {
        const LineSpan span = lineSpan(all.substr(pos), lineLimit);
        if (span.length == 0)
            break;
        overlong_ += span.cut ? 1 : 0;
        std::string_view kept = all.substr(pos, span.kept);
        // The line is a C string to the program: a NUL byte ends it.
        kept = stripLineEnd(kept.substr(0, kept.find('\0')));
        if (const LatLon at = position(kept))
            entries_.push_back({pos, static_cast<std::uint32_t>(kept.size()), at.latDeg(), at.lonDeg()});
        pos += span.length;
    }

    std::vector<Cell> unsorted;
    unsorted.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!(e.lat >= -90.0 && e.lat <= 90.0 && e.lon >= -180.0 && e.lon <= 180.0)) {
            offGrid_.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        const std::uint32_t cell = clampTo(rowOf(e.lat), kRows) * kCols + clampTo(colOf(e.lon), kCols);
        unsorted.emplace_back(cell, static_cast<std::uint32_t>(i));
    }
    cells_ = sortedByCell(std::move(unsorted));
}

// The cells in order of cell number, entries of one cell in file order: two
// stable counting passes over 12 bits of the cell number each (the grid has
// fewer than 2^24 cells). A file of a million lines sorts in a fraction of
// what a comparison sort takes.
std::vector<IndexedLineFile::Cell> IndexedLineFile::sortedByCell(std::vector<Cell> cells)
{
    static_assert(kRows * kCols <= (1u << 24), "two 12-bit passes cover the cell number");
    constexpr std::uint32_t kBuckets = 1u << 12;
    std::vector<Cell> other(cells.size());
    std::vector<std::uint32_t> start(kBuckets + 1);
    for (const unsigned shift : {0u, 12u}) {
        std::fill(start.begin(), start.end(), 0u);
        for (const Cell& c : cells)
            ++start[((c.first >> shift) & (kBuckets - 1)) + 1];
        for (std::uint32_t b = 1; b <= kBuckets; ++b)
            start[b] += start[b - 1];
        for (const Cell& c : cells)
            other[start[(c.first >> shift) & (kBuckets - 1)]++] = c;
        cells.swap(other);
    }
    return cells;
}

std::string_view IndexedLineFile::line(std::size_t entry) const
{
    const Entry& e = entries_[entry];
    return std::string_view(text_.data() + e.offset, e.length);
}

std::vector<std::uint32_t> IndexedLineFile::candidates(LatLon fix, double radiusM) const
{
    if (!fix)
        return {};
    const double fixLat = fix.latDeg(), fixLon = fix.lonDeg(), radius = radiusM;
    std::vector<std::uint32_t> found(offGrid_);

    // Rows and columns that can hold an entry within the radius, one cell of
    // margin on each side against rounding. An entry within the radius is at
    // most radius / 111248.4 degrees north or south, and at most
    // radius / (cos(lat) * 111319.2) degrees east or west, where cos(lat) is
    // smallest at the band's edge nearest a pole.
    std::int64_t rowLo = 0, rowHi = kRows - 1, colLo = 0, colHi = kCols - 1;
    if (std::isfinite(fixLat) && std::isfinite(fixLon) && std::isfinite(radius)) {
        const double dLat = radius / kMetresPerDegreeNorth;
        const double latLo = fixLat - dLat, latHi = fixLat + dLat;
        rowLo = rowOf(std::max(latLo, -90.0)) - 1;
        rowHi = rowOf(std::min(latHi, 90.0)) + 1;
        const double maxAbsLat = std::max(std::fabs(latLo), std::fabs(latHi));
        if (maxAbsLat < 89.0) {
            const double dLon = radius / (std::cos(maxAbsLat * kDegToRad) * kMetresPerDegreeEast);
            if (dLon < 360.0) {
                colLo = colOf(std::max(fixLon - dLon, -180.0)) - 1;
                colHi = colOf(std::min(fixLon + dLon, 180.0)) + 1;
            }
        }
    }
    const std::uint32_t r0 = clampTo(rowLo, kRows), r1 = clampTo(rowHi, kRows);
    const std::uint32_t c0 = clampTo(colLo, kCols), c1 = clampTo(colHi, kCols);
    for (std::uint32_t r = r0; r <= r1; ++r) {
        auto lo = std::lower_bound(cells_.begin(), cells_.end(), std::make_pair(r * kCols + c0, 0u));
        auto hi = std::lower_bound(lo, cells_.end(), std::make_pair(r * kCols + c1 + 1, 0u));
        for (auto it = lo; it != hi; ++it)
            found.push_back(it->second);
    }
    return found;
}

} // namespace varno::geo
