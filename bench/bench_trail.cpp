// Trail GPX of 1 000 000 points: the loader, and varno-cli trail beside gpsbabel on the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "views/Trail.h"

using namespace varno;

namespace {

constexpr int kPoints = 1000000;

// A track as devices write it, with elevation and time; lean: a route of bare points.
std::string writeTrail(bool lean)
{
    const auto p = std::filesystem::temp_directory_path() /
                   (lean ? "varno-bench-trail-lean.gpx" : "varno-bench-trail.gpx");
    std::ofstream out(p);
    if (lean) {
        out << "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><rte>\n";
        char line[96];
        for (int i = 0; i < kPoints; ++i) {
            std::snprintf(line, sizeof line, "<rtept lat=\"%.6f\" lon=\"%.6f\"/>\n", 51.0 + i * 1e-6,
                          -1.0 + i * 2e-6);
            out << line;
        }
        out << "</rte></gpx>\n";
        return p.string();
    }
    out << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>Bench</name>\n";
    char line[160];
    for (int i = 0; i < kPoints; ++i) {
        if (i % 10000 == 0)
            out << (i ? "</trkseg>\n<trkseg>\n" : "<trkseg>\n");
        std::snprintf(line, sizeof line,
                      "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele>"
                      "<time>2024-05-12T08:%02d:%02dZ</time></trkpt>\n",
                      51.0 + i * 1e-6, -1.0 + i * 2e-6, 100.0 + i % 50, (i / 60) % 60, i % 60);
        out << line;
    }
    out << "</trkseg>\n</trk>\n</gpx>\n";
    return p.string();
}

const std::string& trailFile()
{
    static const std::string path = writeTrail(false);
    return path;
}

const std::string& leanTrailFile()
{
    static const std::string path = writeTrail(true);
    return path;
}

void BM_TrailLoad(benchmark::State& state)
{
    const std::string& f = state.range(0) ? leanTrailFile() : trailFile();
    std::size_t points = 0;
    for (auto _ : state) {
        const views::TrailLoad load = views::loadTrail(f);
        points = load.trail.pointCount();
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_TrailLoad)->Arg(0)->Arg(1)->ArgName("lean")->Unit(benchmark::kMillisecond)->Iterations(3);

// A command's whole run, output to /dev/null; skipped when the tool is missing.
void runCommand(benchmark::State& state, const std::string& cmd)
{
    trailFile();
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError(("failed: " + cmd).c_str());
            break;
        }
}

void BM_CliTrail(benchmark::State& state)
{
    runCommand(state, std::string(VARNO_CLI_PATH) + " trail " + trailFile() + " >/dev/null 2>&1");
}
BENCHMARK(BM_CliTrail)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_GpsbabelCsv(benchmark::State& state)
{
    if (std::system("gpsbabel -V >/dev/null 2>&1") != 0) {
        state.SkipWithError("gpsbabel is not installed");
        return;
    }
    runCommand(state, "gpsbabel -i gpx -f " + trailFile() + " -o csv -F /dev/null");
}
BENCHMARK(BM_GpsbabelCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
