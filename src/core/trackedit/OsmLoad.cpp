// OSM ways loaded into the track editor for display: one entry per way.
#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "base/Text.h"
#include "convert/OsmToGpx.h"
#include "osm/NodePositions.h"
#include "osm/OsmReader.h"
#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

// The whole description, "OSM:<id>:" and the tags, is cut to this.
constexpr std::size_t kDescriptionLimit = 498;

using osm::NodePosition;

// A way whose references were not all found when it was read, waiting for
// nodes that come after it in the file.
struct PendingWay {
    std::size_t entry; // index in the output
    std::vector<std::int64_t> refs;
};

// Files list their nodes before their ways: the nodes are sorted when the
// first way arrives and each way is resolved as it is read. A way with a
// reference not (yet) found keeps its references; when nodes came after ways,
// those ways are resolved again at the end against all the nodes.
class WayLoader final : public osm::Handler {
public:
    WayLoader(std::vector<TrackEntry>& out) : out_(out) {}

    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag>) override
    {
        ++objects;
        if (!located)
            return;
        if (sorted_)
            late_ = true;
        nodes_.push_back(NodePosition::at(id, lat, lon));
    }

    void way(std::int64_t id, std::span<const std::int64_t> refs, std::span<const osm::Tag> tags) override
    {
        ++objects;
        references += refs.size();
        if (!sorted_)
            sortNodes();
        // Nodes after ways: an unsorted file. Its ways are resolved at the
        // end, once all nodes are known (sorting again per way could take
        // time quadratic in the file).
        if (late_) {
            TrackEntry e;
            e.description = description(id, tags);
            e.loaded = true;
            out_.push_back(std::move(e));
            pending_.push_back({out_.size() - 1, {refs.begin(), refs.end()}});
            return;
        }
        std::vector<TrackPoint> points;
        points.reserve(refs.size());
        bool missing = false;
        for (const std::int64_t ref : refs) {
            if (const NodePosition* n = find(ref))
                points.push_back({n->latDeg(), n->lonDeg()});
            else
                missing = true;
        }
        // A way without references makes no entry; one whose nodes are all
        // missing so far keeps an empty entry until the end, in case they come.
        if (points.empty() && !missing)
            return;
        TrackEntry e;
        e.description = description(id, tags);
        e.loaded = true;
        e.points = std::move(points);
        out_.push_back(std::move(e));
        if (missing)
            pending_.push_back({out_.size() - 1, {refs.begin(), refs.end()}});
    }

    // Resolves what waited for late nodes, drops ways that stayed without a
    // point, and sets every new entry's extent.
    void finish(std::size_t firstEntry)
    {
        // Without late nodes a second look would find what the first did.
        if (late_ && !pending_.empty()) {
            sortNodes();
            for (PendingWay& w : pending_) {
                std::vector<TrackPoint>& points = out_[w.entry].points;
                points.clear();
                for (const std::int64_t ref : w.refs)
                    if (const NodePosition* n = find(ref))
                        points.push_back({n->latDeg(), n->lonDeg()});
            }
        }
        pending_.clear();
        out_.erase(std::remove_if(out_.begin() + static_cast<std::ptrdiff_t>(firstEntry), out_.end(),
                                  [](const TrackEntry& e) { return e.points.empty(); }),
                   out_.end());
        for (std::size_t i = firstEntry; i < out_.size(); ++i)
            out_[i].updateExtent();
        nodes_.clear();
        nodes_.shrink_to_fit();
    }

    std::uint64_t objects = 0;
    std::uint64_t references = 0;

private:
    static std::string description(std::int64_t id, std::span<const osm::Tag> tags)
    {
        return std::string(
            cutText(fmt::format("OSM:{}:{}", id, convert::osmTagText(tags)), kDescriptionLimit));
    }

    void sortNodes()
    {
        osm::sortKeepingFirst(nodes_);
        sorted_ = true;
        late_ = false;
    }

    const NodePosition* find(std::int64_t id) const { return osm::findNode(nodes_, id); }

    std::vector<TrackEntry>& out_;
    std::vector<NodePosition> nodes_;
    std::vector<PendingWay> pending_;
    bool sorted_ = false;
    bool late_ = false;
};

LoadReport finished(const osm::ReadOutcome& read, WayLoader& loader, std::size_t firstEntry)
{
    loader.finish(firstEntry);
    LoadReport r;
    r.linesRead = loader.objects;
    r.pointsLoaded = loader.references;
    r.error = read.error;
    r.cancelled = read.cancelled;
    if (r)
        r.message = fmt::format("Input {} lines processed.\nOutput {} lines processed.\n\nOSM load complete.",
                                r.linesRead, r.pointsLoaded);
    return r;
}

} // namespace

LoadReport loadOsm(const std::string& path, std::vector<TrackEntry>& out, const LoadProgress& progress)
{
    if (path.empty()) {
        LoadReport r;
        r.error = "Please choose a osm file.";
        return r;
    }
    const std::size_t first = out.size();
    WayLoader loader(out);
    const osm::ReadOutcome read = osm::readFile(path, osm::kNodes | osm::kWays, loader, progress);
    return finished(read, loader, first);
}

LoadReport loadOsmBytes(std::string_view bytes, const std::string& format, std::vector<TrackEntry>& out)
{
    const std::size_t first = out.size();
    WayLoader loader(out);
    const osm::ReadOutcome read = osm::readBytes(bytes, format, osm::kNodes | osm::kWays, loader);
    return finished(read, loader, first);
}

} // namespace varno::trackedit
