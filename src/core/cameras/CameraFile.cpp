// A camera file parsed once and indexed by position, so a reload selects from memory.
#include "cameras/CameraFile.h"

#include <algorithm>
#include <cmath>

#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "geo/MapGeometry.h"

namespace varno::cameras {

std::string cantOpenCameraFile(const std::string& path, const std::string& refusal)
{
    return "Error can't open the camera location file\n" + nameWithRefusal(path, refusal) +
           "\nPlease check the setup/registry.";
}

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

CameraFile::CameraFile(std::string text) : text_(std::move(text))
{
    // Pieces as a 299-byte fgets would return them.
    std::size_t pos = 0;
    const std::size_t n = text_.size();
    while (pos < n) {
        const std::size_t len = linePieceLength(std::string_view(text_).substr(pos), kLineLimit);
        addLine(pos, len);
        pos += len;
    }
    buildGrid();
}

void CameraFile::addLine(std::size_t offset, std::size_t length)
{
    std::string_view piece(text_.data() + offset, length);
    // The line is a C string to the program: a NUL byte ends it.
    piece = piece.substr(0, piece.find('\0'));
    piece = stripLineEnd(piece);
    const geo::LatLon at = linePosition(piece);
    if (!at)
        return;
    entries_.push_back({offset, static_cast<std::uint32_t>(piece.size()), at.latDeg(), at.lonDeg()});
}

geo::LatLon CameraFile::linePosition(std::string_view line)
{
    std::string_view tokens[2];
    int found = 0;
    std::size_t pos = 0;
    while (found < 2 && pos < line.size()) {
        std::size_t comma = line.find(',', pos);
        std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        if (end > pos)
            tokens[found++] = line.substr(pos, end - pos);
        pos = end + 1;
    }
    if (found < 2)
        return {};
    return geo::LatLon::ofPlace(leadingDouble(tokens[0]), leadingDouble(tokens[1]));
}

void CameraFile::buildGrid()
{
    cells_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!(e.lat >= -90.0 && e.lat <= 90.0 && e.lon >= -180.0 && e.lon <= 180.0)) {
            offGrid_.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        std::uint32_t cell = clampTo(rowOf(e.lat), kRows) * kCols + clampTo(colOf(e.lon), kCols);
        cells_.emplace_back(cell, static_cast<std::uint32_t>(i));
    }
    std::sort(cells_.begin(), cells_.end());
}

std::string_view CameraFile::line(std::size_t entry) const
{
    const Entry& e = entries_[entry];
    return std::string_view(text_.data() + e.offset, e.length);
}

std::vector<std::string_view> CameraFile::select(geo::LatLon fix, double radiusM) const
{
    std::vector<std::string_view> lines;
    for (std::uint32_t i : selectEntries(fix, radiusM))
        lines.push_back(line(i));
    return lines;
}

std::vector<std::uint32_t> CameraFile::selectEntries(geo::LatLon fix, double radiusM) const
{
    if (!fix)
        return {};
    const double fixLat = fix.latDeg(), fixLon = fix.lonDeg(), radius = radiusM;
    std::vector<std::uint32_t> candidates(offGrid_);

    // Rows and columns that can hold a camera within the radius, one cell of
    // margin on each side against rounding. A camera within the radius is at
    // most radius / 111248.4 degrees north or south, and at most
    // radius / (cos(lat) * 111319.2) degrees east or west, where cos(lat) is
    // smallest at the band's edge nearest a pole.
    std::int64_t rowLo = 0, rowHi = kRows - 1, colLo = 0, colHi = kCols - 1;
    if (std::isfinite(fixLat) && std::isfinite(fixLon) && std::isfinite(radius)) {
        double dLat = radius / geo::kMetresPerDegreeNorth;
        double latLo = fixLat - dLat, latHi = fixLat + dLat;
        rowLo = rowOf(std::max(latLo, -90.0)) - 1;
        rowHi = rowOf(std::min(latHi, 90.0)) + 1;
        double maxAbsLat = std::max(std::fabs(latLo), std::fabs(latHi));
        if (maxAbsLat < 89.0) {
            double dLon = radius / (std::cos(maxAbsLat * geo::kDegToRad) * geo::kMetresPerDegreeEast);
            if (dLon < 360.0) {
                colLo = colOf(std::max(fixLon - dLon, -180.0)) - 1;
                colHi = colOf(std::min(fixLon + dLon, 180.0)) + 1;
            }
        }
    }
    std::uint32_t r0 = clampTo(rowLo, kRows), r1 = clampTo(rowHi, kRows);
    std::uint32_t c0 = clampTo(colLo, kCols), c1 = clampTo(colHi, kCols);
    for (std::uint32_t r = r0; r <= r1; ++r) {
        auto lo = std::lower_bound(cells_.begin(), cells_.end(), std::make_pair(r * kCols + c0, 0u));
        auto hi = std::lower_bound(lo, cells_.end(), std::make_pair(r * kCols + c1 + 1, 0u));
        for (auto it = lo; it != hi; ++it)
            candidates.push_back(it->second);
    }
    // The north distance alone rules out most of the cells' cameras without a
    // cosine: the distance is never below it (the slack covers rounding, and
    // squares too small for a double near a radius of 0).
    const double northLimit = radius * (1.0 + 1e-12) + 1e-9;
    std::vector<std::uint32_t> selected;
    for (std::uint32_t i : candidates) {
        const Entry& e = entries_[i];
        if (std::fabs(e.lat - fixLat) * geo::kMetresPerDegreeNorth > northLimit)
            continue;
        double d = CameraDistance(geo::LatLon(e.lat, e.lon), fix);
        // A position that is no number (nan) has no distance either.
        if (d == kNoDistance || d > radius || std::isnan(d))
            continue;
        selected.push_back(i);
    }
    // File order; the cells gave them row by row.
    std::sort(selected.begin(), selected.end());
    return selected;
}

} // namespace varno::cameras
