#include "poi/PoiFile.h"

#include <algorithm>
#include <cmath>

#include "base/LineReader.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "cameras/CameraDistance.h"
#include "geo/MapGeometry.h"

namespace varno::poi {

std::vector<std::string_view> splitPoiFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted) {
            fields.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(line.substr(start));
    return fields;
}

namespace {
std::string keep(std::string_view field, std::size_t limit)
{
    // A NUL byte ends the text, as it ends a C string.
    if (auto nul = field.find('\0'); nul != std::string_view::npos)
        field = field.substr(0, nul);
    return std::string(cutText(field, limit));
}
} // namespace

PoiPoint parsePoiLine(std::string_view line)
{
    PoiPoint p;
    const auto f = splitPoiFields(line);
    p.lonText = keep(f[0], kCoordinateTextLimit);
    if (f.size() > 1)
        p.latText = keep(f[1], kCoordinateTextLimit);
    if (f.size() > 2)
        p.description = keep(f[2], kDescriptionLimit);
    if (f.size() > 3)
        p.fourth = keep(f[3], kFourthLimit);
    p.position = PoiFile::linePosition(line);
    return p;
}

geo::LatLon PoiFile::linePosition(std::string_view line)
{
    std::string_view tokens[2];
    int found = 0;
    std::size_t pos = 0;
    while (found < 2 && pos < line.size()) {
        const std::size_t comma = line.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        if (end > pos)
            tokens[found++] = line.substr(pos, end - pos);
        pos = end + 1;
    }
    if (found < 2)
        return {};
    return geo::LatLon::ofPlace(leadingDouble(tokens[1]), leadingDouble(tokens[0]));
}

namespace {
constexpr double kRowsPerDegree = 100.0;
constexpr int kRows = 18001; // -90 to 90 inclusive

int rowOf(double lat)
{
    return static_cast<int>(std::floor((lat + 90.0) * kRowsPerDegree));
}
} // namespace

PoiFile::PoiFile(std::string text) : text_(std::move(text))
{
    std::size_t pos = 0;
    const std::size_t n = text_.size();
    while (pos < n) {
        const std::size_t len = linePieceLength(std::string_view(text_).substr(pos), kLineLimit);
        std::string_view piece(text_.data() + pos, len);
        piece = stripLineEnd(piece.substr(0, piece.find('\0')));
        const geo::LatLon at = linePosition(piece);
        if (at && std::isfinite(at.latDeg()) && std::isfinite(at.lonDeg()))
            entries_.push_back({pos, static_cast<std::uint32_t>(piece.size()), at.latDeg(), at.lonDeg()});
        pos += len;
    }
    // A counting sort into latitude rows.
    rowStart_.assign(kRows + 1, 0);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const double lat = entries_[i].lat;
        if (lat >= -90.0 && lat <= 90.0)
            ++rowStart_[static_cast<std::size_t>(rowOf(lat)) + 1];
        else
            offGrid_.push_back(i);
    }
    for (std::size_t r = 1; r < rowStart_.size(); ++r)
        rowStart_[r] += rowStart_[r - 1];
    byRow_.resize(rowStart_.back());
    std::vector<std::uint32_t> fill(rowStart_.begin(), rowStart_.end() - 1);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const double lat = entries_[i].lat;
        if (lat >= -90.0 && lat <= 90.0)
            byRow_[fill[static_cast<std::size_t>(rowOf(lat))]++] = i;
    }
}

std::string_view PoiFile::line(std::size_t entry) const
{
    const Entry& e = entries_[entry];
    return std::string_view(text_).substr(e.offset, e.length);
}

std::vector<std::uint32_t> PoiFile::select(geo::LatLon fix, double radiusM) const
{
    std::vector<std::uint32_t> out;
    if (!fix || !(radiusM >= 0.0))
        return out;
    // No cosine of a latitude the band reaches is below this; with it an entry
    // too far east or west is passed over before its exact distance.
    const double bandEdge =
        std::min(90.0, std::fabs(fix.latDeg()) + radiusM / geo::kMetresPerDegreeNorth + 1e-6);
    const double cosFloor = std::max(0.0, std::cos(bandEdge * geo::kDegToRad)) * (1.0 - 1e-9);
    auto test = [&](std::uint32_t i) {
        const Entry& e = entries_[i];
        if (std::fabs(e.lon - fix.lonDeg()) * geo::kMetresPerDegreeEast * cosFloor > radiusM)
            return;
        const double cosLat = std::cos(e.lat * geo::kDegToRad);
        const double sq = cameras::squaredCameraDistance(geo::LatLon(e.lat, e.lon), cosLat, fix);
        if (std::sqrt(sq) <= radiusM)
            out.push_back(i);
    };
    // A POI within the radius is at most this far north or south; the slack
    // covers rounding, the exact test decides.
    const double band = radiusM / geo::kMetresPerDegreeNorth * (1.0 + 1e-9) + 1e-9;
    const double from = std::max(-90.0, fix.latDeg() - band), to = std::min(90.0, fix.latDeg() + band);
    if (from <= to) {
        const int lo = std::clamp(rowOf(from), 0, kRows - 1), hi = std::clamp(rowOf(to), 0, kRows - 1);
        for (std::uint32_t k = rowStart_[static_cast<std::size_t>(lo)];
             k < rowStart_[static_cast<std::size_t>(hi) + 1]; ++k)
            test(byRow_[k]);
    }
    for (std::uint32_t i : offGrid_)
        test(i);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace varno::poi
