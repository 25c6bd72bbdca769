// The road map builder side by side with `osmium cat -f opl` on the same generated 10 M-node
// .osm.pbf (the baseline is skipped when osmium is not installed), each in a child process of
// its own so that its peak memory is its own; and queries of the map it builds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/io/pbf_output.hpp>
#include <osmium/io/writer.hpp>
#include <osmium/memory/buffer.hpp>

#include "roads/RoadMapBuilder.h"
#include "roads/RoadMapFile.h"

namespace {

using namespace varno;
namespace fs = std::filesystem;

const fs::path& folder()
{
    static const fs::path dir = [] {
        fs::path d = fs::path(VARNO_BENCH_DATA_DIR);
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// A town of 10 000 000 nodes over 25 x 40 km as mappers leave it: the even rows of a grid of
// 2 500 x 4 000 are streets of 25 nodes (200 000 ways of every class, most named, some with
// a limit, some one way), the odd rows houses of four corners (1 250 000 closed ways); every
// node a little off the grid, as surveyed points are. Written in a child process so that the
// benchmark's own memory stays small for the children it measures.
constexpr std::int64_t kRows = 2500, kColumns = 4000, kNodes = kRows * kColumns, kStreetNodes = 25;

void writeTown(const std::string& path)
{
    osmium::io::Header header;
    header.set("generator", "varno bench");
    osmium::io::Writer writer(path, header, osmium::io::overwrite::allow);
    constexpr std::size_t kBufferBytes = 4 << 20;
    osmium::memory::Buffer buffer(kBufferBytes, osmium::memory::Buffer::auto_grow::no);
    const auto room = [&] {
        if (buffer.committed() > kBufferBytes - 8192) {
            writer(std::move(buffer));
            buffer = osmium::memory::Buffer(kBufferBytes, osmium::memory::Buffer::auto_grow::no);
        }
    };
    std::uint64_t x = 88172645463325252ull;
    const auto jitter = [&x] {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        return static_cast<double>(static_cast<std::int64_t>(x % 401) - 200) * 1e-7;
    };
    for (std::int64_t id = 1; id <= kNodes; ++id) {
        room();
        {
            const std::int64_t row = (id - 1) / kColumns, col = (id - 1) % kColumns;
            osmium::builder::NodeBuilder node(buffer);
            node.set_id(id).set_version(1);
            node.set_location(
                osmium::Location(13.0 + col * 0.0001 + jitter(), 53.0 + row * 0.0001 + jitter()));
            if (id % 5000 == 0) {
                osmium::builder::TagListBuilder tags(node);
                tags.add_tag("highway", "traffic_signals");
            }
        }
        buffer.commit();
    }
    static const char* const kClasses[] = {"residential", "residential",  "residential",  "service",
                                           "tertiary",    "secondary",    "primary",      "footway",
                                           "track",       "unclassified", "primary_link", "motorway"};
    static const char* const kLimits[] = {"30", "50", "DE:urban", "70", "30 mph", "none", "walk", "100"};
    std::int64_t wayId = 1;
    for (std::int64_t row = 0; row < kRows; ++row)
        for (std::int64_t col = 0; col + (row % 2 ? 2 : kStreetNodes) <= kColumns;
             col += row % 2 ? 3 : kStreetNodes - 1) {
            room();
            {
                osmium::builder::WayBuilder way(buffer);
                way.set_id(wayId).set_version(1);
                const std::int64_t first = row * kColumns + col + 1;
                {
                    osmium::builder::WayNodeListBuilder refs(way);
                    if (row % 2 == 0) {
                        for (std::int64_t i = 0; i < kStreetNodes; ++i)
                            refs.add_node_ref(first + i);
                    } else { // a house: two nodes of this row and two of the next
                        const std::int64_t above = row + 1 < kRows ? first + kColumns : first - kColumns;
                        for (const std::int64_t n : {first, first + 1, above + 1, above, first})
                            refs.add_node_ref(n);
                    }
                }
                osmium::builder::TagListBuilder tags(way);
                if (row % 2 == 0) {
                    tags.add_tag("highway", kClasses[wayId % 12]);
                    if (wayId % 5 != 0)
                        tags.add_tag("name", fmt::format("Street {}", wayId / 7));
                    if (wayId % 3 == 0)
                        tags.add_tag("maxspeed", kLimits[wayId % 8]);
                    if (wayId % 11 == 0)
                        tags.add_tag("oneway", wayId % 2 ? "yes" : "-1");
                    tags.add_tag("surface", "asphalt");
                } else {
                    tags.add_tag("building", "house");
                    tags.add_tag("addr:housenumber", std::to_string(wayId % 200));
                }
            }
            buffer.commit();
            ++wayId;
        }
    writer(std::move(buffer));
    writer.close();
}

// The child's wall time [s], processor time [s] and peak memory [MiB]; false when it failed.
// On a machine busy with other work the processor time compares more fairly.
double g_cpuSeconds = 0;
bool inChild(const std::function<int()>& work, double& seconds, double& peakMiB)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakMiB = usage.ru_maxrss / 1024.0;
    g_cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

const std::string& townPbf()
{
    static const std::string path = [] {
        const fs::path p = folder() / "town-10M.osm.pbf";
        if (!fs::exists(p)) {
            const std::string part = p.string() + ".part.osm.pbf";
            double s = 0, m = 0;
            if (!inChild(
                    [&] {
                        writeTown(part);
                        return 0;
                    },
                    s, m))
                return std::string();
            fs::rename(part, p);
        }
        return p.string();
    }();
    return path;
}

const std::string kMap = (folder() / "town-10M.sqlite").string();

// Arg 0: the node index in memory, as for an extract of this size; 1: in files beside the map,
// as for a country.
void BM_RoadMapBuild10MNodes_Varno(benchmark::State& state)
{
    const std::string& pbf = townPbf();
    roads::RoadMapBuildOptions options;
    if (state.range(0) == 1)
        options.nodesInMemory = 0;
    double seconds = 0, peak = 0;
    for (auto _ : state) {
        const bool ok =
            inChild([&] { return roads::buildRoadMap(pbf, kMap, options).ok() ? 0 : 1; }, seconds, peak);
        if (!ok) {
            state.SkipWithError("the build failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    const double pbfBytes = static_cast<double>(fs::file_size(pbf));
    const double mapBytes = static_cast<double>(fs::file_size(kMap));
    state.counters["peak_MiB"] = peak;
    state.counters["cpu_s"] = g_cpuSeconds;
    state.counters["pbf_MiB"] = pbfBytes / 1048576.0;
    state.counters["map_MiB"] = mapBytes / 1048576.0;
    state.counters["map/pbf"] = mapBytes / pbfBytes;
}
BENCHMARK(BM_RoadMapBuild10MNodes_Varno)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

void BM_OsmiumCatToOpl10MNodes(benchmark::State& state)
{
    if (std::system("command -v osmium >/dev/null 2>&1") != 0) {
        state.SkipWithError("osmium is not installed");
        return;
    }
    const std::string& pbf = townPbf();
    const std::string out = (folder() / "town-10M.opl").string();
    double seconds = 0, peak = 0;
    for (auto _ : state) {
        const bool ok = inChild(
            [&] {
                execlp("osmium", "osmium", "cat", "-O", "-f", "opl", "-o", out.c_str(), pbf.c_str(), nullptr);
                return 127;
            },
            seconds, peak);
        if (!ok) {
            state.SkipWithError("osmium cat failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["peak_MiB"] = peak;
    state.counters["cpu_s"] = g_cpuSeconds;
    fs::remove(out);
}
BENCHMARK(BM_OsmiumCatToOpl10MNodes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// The ways of a square the camera view shows around the car, 1 km and 4 km on a side, in
// turn at places across the town, as the views ask when the car has moved on.
void BM_RoadMapQuery(benchmark::State& state)
{
    std::string error;
    const auto map = roads::RoadMapFile::open(kMap, error);
    if (!map) {
        state.SkipWithError(error.c_str());
        return;
    }
    const double side = state.range(0) / 1000.0; // km
    std::vector<roads::RoadWay> ways;
    std::size_t found = 0, queries = 0;
    int step = 0;
    for (auto _ : state) {
        const double lat = 53.02 + 0.2 * ((step * 37) % 100) / 100.0;
        const double lon = 13.02 + 0.35 * ((step * 61) % 100) / 100.0;
        ++step;
        const double dLat = side / 111.2 / 2, dLon = side / 66.2 / 2;
        map->waysIn({lat - dLat, lon - dLon, lat + dLat, lon + dLon}, ways);
        found += ways.size();
        ++queries;
    }
    state.counters["ways"] = static_cast<double>(found) / static_cast<double>(queries);
}
BENCHMARK(BM_RoadMapQuery)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
