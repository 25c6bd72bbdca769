#include "views/Trail.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

#include "geo/MapGeometry.h"

namespace varno::views {

std::size_t Trail::pointCount() const
{
    std::size_t n = 0;
    for (const auto& s : segments)
        n += s.size();
    return n;
}

void Trail::buildIndex()
{
    index.assign(segments.size(), {});
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const auto& pts = segments[s];
        SegmentIndex& ix = index[s];
        ix.cosLat.reserve(pts.size());
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const double lat = pts[i].latDeg(), lon = pts[i].lonDeg();
            ix.cosLat.push_back(std::cos(lat * geo::kDegToRad));
            if (i % kChunk == 0) {
                ix.chunkMinLat.push_back(lat);
                ix.chunkMaxLat.push_back(lat);
                ix.chunkMinLon.push_back(lon);
                ix.chunkMaxLon.push_back(lon);
            }
            // A NaN never narrows the span, so it never hides a run.
            ix.chunkMinLat.back() = std::min(ix.chunkMinLat.back(), lat);
            ix.chunkMaxLat.back() = std::max(ix.chunkMaxLat.back(), lat);
            ix.chunkMinLon.back() = std::min(ix.chunkMinLon.back(), lon);
            ix.chunkMaxLon.back() = std::max(ix.chunkMaxLon.back(), lon);
        }
    }
}

namespace {
struct TrailBuilder final : gpx::Visitor {
    Trail& trail;
    const TrailProgress& progress;
    bool stop = false;
    TrailBuilder(Trail& t, const TrailProgress& p) : trail(t), progress(p) {}
    void bytesRead(std::uint64_t done, std::uint64_t total) override
    {
        if (progress && !progress(done, total))
            stop = true;
    }
    bool wantsStop() const override { return stop; }
    void routeStart(const std::string&) override { trail.segments.emplace_back(); }
    void routePoint(const gpx::Point& p) override { add(p); }
    void segmentStart() override { trail.segments.emplace_back(); }
    void trackPoint(const gpx::Point& p) override { add(p); }
    void add(const gpx::Point& p) { trail.segments.back().emplace_back(p.latDeg, p.lonDeg); }
    bool wantsPointDetails() const override { return false; }
};
} // namespace

TrailLoad loadTrail(const std::string& path, const TrailProgress& progress)
{
    TrailLoad load;
    TrailBuilder builder(load.trail, progress);
    load.error = gpx::readFile(path, builder);
    // Segments without points draw nothing.
    std::erase_if(load.trail.segments, [](const auto& s) { return s.empty(); });
    load.trail.buildIndex();
    return load;
}

std::string TrailLoad::message() const
{
    const std::string count =
        fmt::format("number of points found {}.", static_cast<long>(trail.pointCount()));
    if (error && error->line == 0)
        return "Error can't open source file\n" + error->text();
    if (error && error->stopped)
        return kTrailLoadCancelledMessage;
    if (error)
        return "Error reading the trail GPX\n" + error->text() + "\n" + count;
    return "Loaded the trail GPX.\n" + count;
}

} // namespace varno::views
