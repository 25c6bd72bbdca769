#include "poi/PoiFile.h"

#include <algorithm>
#include <cmath>

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
// The position of a line, if finite.
geo::LatLon finitePosition(std::string_view line)
{
    const geo::LatLon at = PoiFile::linePosition(line);
    return at && std::isfinite(at.latDeg()) && std::isfinite(at.lonDeg()) ? at : geo::LatLon();
}
} // namespace

PoiFile::PoiFile(std::string text) : lines_(std::move(text), kLineLimit, &finitePosition) {}

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
    for (const std::uint32_t i : lines_.candidates(fix, radiusM)) {
        const geo::LatLon at = lines_.position(i);
        if (std::fabs(at.lonDeg() - fix.lonDeg()) * geo::kMetresPerDegreeEast * cosFloor > radiusM)
            continue;
        const double cosLat = std::cos(at.latDeg() * geo::kDegToRad);
        const double sq = cameras::squaredCameraDistance(at, cosLat, fix);
        if (std::sqrt(sq) <= radiusM)
            out.push_back(i);
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace varno::poi
