// First cut of the editor's background: plain polylines and the loaders' entry
// points. The tag rendering and the OSM/GPX loaders replace this.
#include "trackedit/Background.h"

namespace varno::trackedit {

LoadReport loadJosmGpx(const std::string& path, std::vector<TrackEntry>&, const LoadProgress&)
{
    LoadReport r;
    r.error = "Loading GPX tracks into the editor is not available yet: " + path;
    return r;
}

LoadReport loadOsm(const std::string& path, std::vector<TrackEntry>&, const LoadProgress&)
{
    LoadReport r;
    r.error = "Loading OSM data into the editor is not available yet: " + path;
    return r;
}

void drawTracks(views::Scene& scene, const EditorProjection& pr, std::span<const TrackEntry> entries,
                const TrackDisplayFlags&)
{
    for (const TrackEntry& e : entries) {
        if (!e.loaded)
            continue;
        views::PolylineItem line;
        line.colour = 0xBEEC00; // RGB(0,236,190)
        for (const TrackPoint& p : e.points)
            line.points.push_back({pr.x(p.latDeg, p.lonDeg), pr.y(p.latDeg) + EditorProjection::kMapTop});
        if (line.points.size() > 1)
            scene.add(std::move(line));
    }
}

std::optional<SrtmLayer> loadSrtmLayer(const std::string& path, std::string& message)
{
    std::optional<srtm::HgtTile> tile = srtm::readHgt(path, message);
    if (!tile)
        return std::nullopt;
    SrtmLayer layer;
    layer.tile = std::move(*tile);
    return layer;
}

void drawSrtm(views::Scene&, const SrtmLayer&, int, int) {}

} // namespace varno::trackedit
