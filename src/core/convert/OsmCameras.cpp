// Speed cameras of OpenStreetMap (highway=speed_camera nodes) into a camera file.
#include "convert/OsmCameras.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <fmt/format.h>

#include "base/AtomicFile.h"
#include "cameras/DriverAids.h"
#include "osm/OsmReader.h"

namespace varno::convert {
namespace {

using cameras::kDirectionPrefix;

constexpr double kRoadRangeM = 200.0;
constexpr double kTownRangeM = 10000.0;
constexpr double kMetresPerDegree = 111195.0;
// Road nodes are bucketed in cells of this many degrees (about 1 km north-south).
constexpr double kCellDeg = 0.01;

std::string_view tag(std::span<const osm::Tag> tags, std::string_view key)
{
    for (const osm::Tag& t : tags)
        if (t.key == key)
            return t.value;
    return {};
}

// The number a maxspeed starts with ("50", "30 mph"); empty for "signals", "none" and the like.
std::string limitText(std::string_view maxspeed)
{
    std::size_t n = 0;
    while (n < maxspeed.size() && n < 3 && maxspeed[n] >= '0' && maxspeed[n] <= '9')
        ++n;
    return std::string(maxspeed.substr(0, n));
}

double metres(double lat1, double lon1, double lat2, double lon2)
{
    const double north = (lat2 - lat1) * kMetresPerDegree;
    const double east = (lon2 - lon1) * kMetresPerDegree * std::cos(lat1 * 0.017453292519943295);
    return std::sqrt(north * north + east * east);
}

struct Camera {
    double lat, lon;
    bool specs;
    std::string limit, direction;
};
struct Place {
    double lat, lon;
    std::string name;
};
std::int64_t cellKey(double lat, double lon)
{
    const auto row = static_cast<std::int64_t>(std::floor(lat / kCellDeg));
    const auto col = static_cast<std::int64_t>(std::floor(lon / kCellDeg));
    return row * 100000 + col;
}

// The first read: cameras, places and enforcement relations. A relation's
// member that is not a camera node gets a camera at first without a
// position (files list relations after nodes); `placed` is false for it
// until a later read of the nodes finds it.
struct Collector final : osm::Handler {
    std::vector<Camera> cameras;
    std::vector<bool> placed;
    std::vector<Place> places;
    std::unordered_map<std::int64_t, std::size_t> byId; // node id -> camera
    std::unordered_set<std::int64_t> unplacedIds;       // camera nodes without a position
    std::uint64_t objects = 0, unplaced = 0;

    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag> tags) override
    {
        ++objects;
        if (tags.empty())
            return;
        if (tag(tags, "highway") == "speed_camera") {
            if (!located) {
                ++unplaced;
                unplacedIds.insert(id);
                return;
            }
            const bool specs =
                tag(tags, "speed_camera") == "average_speed" || tag(tags, "enforcement") == "average_speed";
            byId.emplace(id, cameras.size());
            cameras.push_back(
                {lat, lon, specs, limitText(tag(tags, "maxspeed")), fieldText(tag(tags, "direction"))});
            placed.push_back(true);
            return;
        }
        const std::string_view place = tag(tags, "place");
        const std::string_view name = tag(tags, "name");
        if (located && !name.empty() &&
            (place == "city" || place == "town" || place == "village" || place == "hamlet" ||
             place == "suburb"))
            places.push_back({lat, lon, fieldText(name)});
    }

    // type=enforcement with enforcement=maxspeed: its device nodes are cameras with the
    // relation's limit; with enforcement=average_speed: its from and to nodes are a SPECS pair.
    void relation(std::int64_t, std::span<const osm::Member> members, std::span<const osm::Tag> tags) override
    {
        if (tag(tags, "type") != "enforcement")
            return;
        const std::string_view kind = tag(tags, "enforcement");
        const std::string limit = limitText(tag(tags, "maxspeed"));
        if (kind == "maxspeed") {
            for (const osm::Member& m : members)
                if (m.type == 'n' && m.role == "device")
                    enforce(m.ref, false, limit);
        } else if (kind == "average_speed") {
            for (const std::string_view role : {"from", "to"})
                for (const osm::Member& m : members)
                    if (m.type == 'n' && m.role == role)
                        enforce(m.ref, true, limit);
        }
    }

    // One line per node: a node already a camera keeps its line and takes what it lacks.
    void enforce(std::int64_t id, bool specs, const std::string& limit)
    {
        if (unplacedIds.count(id))
            return;
        if (const auto known = byId.find(id); known != byId.end()) {
            Camera& c = cameras[known->second];
            c.specs = c.specs || specs;
            if (c.limit.empty())
                c.limit = limit;
            return;
        }
        byId.emplace(id, cameras.size());
        cameras.push_back({0.0, 0.0, specs, limit, ""});
        placed.push_back(false);
    }
};

// A read of the nodes for the positions of relation members that are not camera nodes.
struct MemberFinder final : osm::Handler {
    Collector& found;
    explicit MemberFinder(Collector& f) : found(f) {}
    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag>) override
    {
        if (!located)
            return;
        if (const auto known = found.byId.find(id);
            known != found.byId.end() && !found.placed[known->second]) {
            Camera& c = found.cameras[known->second];
            c.lat = lat;
            c.lon = lon;
            found.placed[known->second] = true;
        }
    }
};

// The second read: the nodes near a camera (files list nodes before ways),
// then the roads through them; each camera keeps the nearest road's label.
struct RoadFinder final : osm::Handler {
    const std::vector<Camera>& cameras;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> cells; // cell -> cameras in or beside it
    std::unordered_map<std::int64_t, std::pair<double, double>> near; // node id -> position
    std::vector<std::pair<double, std::string>> road;                 // per camera: distance, label
    std::uint64_t objects = 0;

    explicit RoadFinder(const std::vector<Camera>& c) : cameras(c), road(c.size(), {kRoadRangeM, ""})
    {
        for (std::size_t i = 0; i < c.size(); ++i)
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    cells[cellKey(c[i].lat + dr * kCellDeg, c[i].lon + dc * kCellDeg)].push_back(i);
    }
    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag>) override
    {
        if (located && cells.count(cellKey(lat, lon)))
            near.emplace(id, std::pair(lat, lon));
    }
    void way(std::int64_t, std::span<const std::int64_t> refs, std::span<const osm::Tag> tags) override
    {
        ++objects;
        if (tag(tags, "highway").empty())
            return;
        std::string_view label = tag(tags, "ref");
        if (label.empty())
            label = tag(tags, "name");
        if (label.empty())
            return;
        for (const std::int64_t id : refs) {
            const auto p = near.find(id);
            if (p == near.end())
                continue;
            const auto [lat, lon] = p->second;
            for (const std::size_t i : cells.at(cellKey(lat, lon))) {
                const double d = metres(cameras[i].lat, cameras[i].lon, lat, lon);
                if (d < road[i].first || (d == road[i].first && road[i].second.empty()))
                    road[i] = {d, fieldText(label)};
            }
        }
    }
};

} // namespace

Report convertOsmCameras(const std::string& source, Sink& out, Progress& progress)
{
    int pass = 0, passes = 2;
    const osm::ReadProgress tell = [&](std::uint64_t done, std::uint64_t total) {
        return progress.update(pass * total + done, passes * total);
    };
    auto ended = [](const osm::ReadOutcome& read) {
        if (read.error)
            return Report::failed(*read.error);
        Report r;
        r.status = Report::Status::Cancelled;
        r.message = kCancelled;
        return r;
    };

    Collector found;
    osm::ReadOutcome read = osm::readFile(source, osm::kNodes | osm::kRelations, found, tell);
    if (!read)
        return ended(read);
    std::uint64_t missing = 0;
    if (std::find(found.placed.begin(), found.placed.end(), false) != found.placed.end()) {
        ++pass;
        ++passes;
        MemberFinder members(found);
        read = osm::readFile(source, osm::kNodes, members, tell);
        if (!read)
            return ended(read);
        std::vector<Camera> kept;
        for (std::size_t i = 0; i < found.cameras.size(); ++i)
            if (found.placed[i])
                kept.push_back(std::move(found.cameras[i]));
        missing = found.cameras.size() - kept.size();
        found.cameras = std::move(kept);
    }
    RoadFinder roads(found.cameras);
    if (!found.cameras.empty()) {
        ++pass;
        read = osm::readFile(source, osm::kNodes | osm::kWays, roads, tell);
        if (!read)
            return ended(read);
    }

    std::uint64_t written = 0;
    for (std::size_t i = 0; i < found.cameras.size(); ++i) {
        const Camera& c = found.cameras[i];
        const Place* town = nullptr;
        double nearest = kTownRangeM;
        for (const Place& p : found.places)
            if (const double d = metres(c.lat, c.lon, p.lat, p.lon); d <= nearest)
                nearest = d, town = &p;
        const std::string line = fmt::format(
            "{:.6f},{:.6f},{},{},{},{},Yes,{}\n", c.lat, c.lon, roads.road[i].second, town ? town->name : "",
            c.direction.empty() ? "" : std::string(kDirectionPrefix) + c.direction,
            c.specs ? "SPECS" : "Camera", c.limit);
        if (!out.write(line))
            return Report::failed(kWriteFailed);
        ++written;
    }

    Report report;
    report.linesIn = found.objects + roads.objects;
    report.linesOut = written;
    report.message =
        fmt::format("Input {} nodes and ways read.\nOutput {} cameras written.\n\nConversion complete.",
                    report.linesIn, written);
    if (found.unplaced)
        report.notes = fmt::format("{} cameras without a position were left out.", found.unplaced);
    if (missing)
        report.notes += fmt::format("{}{} enforcement relation members without a position were left out.",
                                    report.notes.empty() ? "" : "\n", missing);
    return report;
}

Report convertOsmCamerasFile(const FileJob& job, Progress& progress)
{
    if (job.source.empty())
        return Report::failed("Please select an OSM source file.");
    if (job.destination.empty())
        return Report::failed("The destination file name is empty.");
    if (job.source == "-")
        return Report::failed("An OSM file is read more than once: it cannot come from standard input.");
    std::error_code ec;
    if (job.destination != "-" && std::filesystem::equivalent(job.source, job.destination, ec))
        return Report::failed("The source and destination file names can not be the same.\n" + job.source);
    return runSinkJob(job, [&](Sink& out) { return convertOsmCameras(job.source, out, progress); });
}

} // namespace varno::convert
