// A camera file parsed once and indexed by position, so a reload selects from memory.
#include "cameras/CameraFile.h"

#include <algorithm>
#include <cmath>

#include "base/InputFile.h"
#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "geo/MapGeometry.h"

namespace varno::cameras {

std::string cantOpenCameraFile(const std::string& path, const std::string& refusal)
{
    return "Error can't open the camera location file\n" + nameWithRefusal(path, refusal) +
           "\nPlease check the setup/registry.";
}

CameraFile::CameraFile(std::string text) : lines_(std::move(text), kLineLimit, &linePosition) {}

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
    const double fixLat = fix.latDeg(), radius = radiusM;
    const std::vector<std::uint32_t> candidates = lines_.candidates(fix, radiusM);
    // The north distance alone rules out most of the cells' cameras without a
    // cosine: the distance is never below it (the slack covers rounding, and
    // squares too small for a double near a radius of 0).
    const double northLimit = radius * (1.0 + 1e-12) + 1e-9;
    std::vector<std::uint32_t> selected;
    for (std::uint32_t i : candidates) {
        const geo::LatLon at = lines_.position(i);
        if (std::fabs(at.latDeg() - fixLat) * geo::kMetresPerDegreeNorth > northLimit)
            continue;
        double d = CameraDistance(at, fix);
        // A position that is no number (nan) has no distance either.
        if (d == kNoDistance || d > radius || std::isnan(d))
            continue;
        selected.push_back(i);
    }
    // File order; the grid gave them cell by cell.
    std::sort(selected.begin(), selected.end());
    return selected;
}

} // namespace varno::cameras
