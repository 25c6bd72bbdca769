// One line of a POI file: longitude, latitude, description and a further text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geo/IndexedLineFile.h"
#include "geo/LatLon.h"

namespace varno::poi {

// The lengths a POI keeps of each field [bytes].
inline constexpr std::size_t kCoordinateTextLimit = 14;
inline constexpr std::size_t kDescriptionLimit = 79;
inline constexpr std::size_t kFourthLimit = 79;

struct PoiPoint {
    std::string lonText;     // field 1
    std::string latText;     // field 2
    std::string description; // field 3
    std::string fourth;      // field 4, kept but not shown
    geo::LatLon position;    // from the first two non-empty tokens of the line
};

// The line split at commas, except commas inside a double-quoted part (the
// quotes stay in the text). Always at least one field.
std::vector<std::string_view> splitPoiFields(std::string_view line);

// A POI from one line (without its line end): the four fields cut to their
// limits (never inside a UTF-8 sequence, and at the first NUL byte) and the
// position by the camera file's rule (no position when a token is missing
// or 0).
PoiPoint parsePoiLine(std::string_view line);

} // namespace varno::poi

namespace varno::poi {

// A POI file read once and indexed by position, so a rebuild of the POI list
// selects from memory and tests only the entries the radius can reach.
//
// Lines are read as geo::IndexedLineFile reads them, at most 298 bytes of
// each (the rest of a longer line is dropped). Lines without a position are
// dropped, as are positions that are not finite.
class PoiFile {
public:
    static constexpr std::size_t kLineLimit = 299;

    PoiFile() = default;
    explicit PoiFile(std::string text);

    // The entries within radiusM metres of the fix by CameraDistance (a POI
    // exactly at the radius is in), in file order. None without a fix.
    std::vector<std::uint32_t> select(geo::LatLon fix, double radiusM) const;

    std::size_t size() const { return lines_.size(); }
    std::string_view line(std::size_t entry) const { return lines_.line(entry); }
    // Lines longer than the limit, whose rest was dropped.
    std::uint64_t overlongLines() const { return lines_.overlongLines(); }

    // First token longitude, second latitude (see parsePoiLine).
    static geo::LatLon linePosition(std::string_view line);

private:
    geo::IndexedLineFile lines_;
};

} // namespace varno::poi
