// A text file of lines read once and indexed by position, so a reload selects from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geo/LatLon.h"

namespace varno::geo {

// The lines of a text file that carry a position, with a grid of 0.1 degree
// cells over them. The camera and POI files are such files.
//
// Each line is read whole (LF, CR LF and CR end lines alike): its first
// lineLimit - 1 bytes are kept, as a fgets of that size reads them, and the
// rest of a longer line is dropped and counted. A NUL byte ends a line, the
// line end is removed, and the position function reads the rest; lines it
// gives no position are dropped.
class IndexedLineFile {
public:
    using Position = LatLon (*)(std::string_view line);

    IndexedLineFile() = default;
    IndexedLineFile(std::string text, std::size_t lineLimit, Position position);

    std::size_t size() const { return entries_.size(); }
    // The line of an entry, without its line end.
    std::string_view line(std::size_t entry) const;
    LatLon position(std::size_t entry) const { return LatLon(entries_[entry].lat, entries_[entry].lon); }
    // Lines longer than the limit, whose rest was dropped.
    std::uint64_t overlongLines() const { return overlong_; }

    // Every entry that can lie within radiusM metres of the fix (by the
    // north and east distances of the camera rule), and more: the caller
    // measures each. In no particular order; none without a fix.
    std::vector<std::uint32_t> candidates(LatLon fix, double radiusM) const;

private:
    // (cell number, entry), in order.
    using Cell = std::pair<std::uint32_t, std::uint32_t>;
    static std::vector<Cell> sortedByCell(std::vector<Cell> cells);

    struct Entry {
        std::size_t offset;
        std::uint32_t length;
        double lat;
        double lon;
    };

    std::string text_;
    std::vector<Entry> entries_;
    // (cell, entry) sorted: each grid row's cells are one contiguous run.
    std::vector<Cell> cells_;
    // Entries outside the grid (positions off the globe); always candidates.
    std::vector<std::uint32_t> offGrid_;
    std::uint64_t overlong_ = 0;
};

} // namespace varno::geo
