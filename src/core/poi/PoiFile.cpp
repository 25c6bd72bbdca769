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
            entries_.push_back({pos, static_cast<std::uint32_t>(piece.size()), at.latDeg(), at.lonDeg(),
                                std::cos(at.latDeg() * geo::kDegToRad)});
        pos += len;
    }
    byLat_.resize(entries_.size());
    for (std::uint32_t i = 0; i < byLat_.size(); ++i)
        byLat_[i] = i;
    std::sort(byLat_.begin(), byLat_.end(),
              [&](std::uint32_t a, std::uint32_t b) { return entries_[a].lat < entries_[b].lat; });
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
    // A POI within the radius is at most this far north or south; the slack
    // covers rounding, the exact test below decides.
    const double band = radiusM / geo::kMetresPerDegreeNorth * (1.0 + 1e-9) + 1e-9;
    auto it = std::lower_bound(byLat_.begin(), byLat_.end(), fix.latDeg() - band,
                               [&](std::uint32_t e, double lat) { return entries_[e].lat < lat; });
    for (; it != byLat_.end() && entries_[*it].lat <= fix.latDeg() + band; ++it) {
        const Entry& e = entries_[*it];
        const double sq = cameras::squaredCameraDistance(geo::LatLon(e.lat, e.lon), e.cosLat, fix);
        if (std::sqrt(sq) <= radiusM)
            out.push_back(*it);
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace varno::poi
