// Trail GPX of 1 000 000 points: the loader, and varno-cli trail beside gpsbabel on the same file.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "views/Trail.h"

using namespace varno;

namespace {

constexpr int kPoints = 1000000;

// A track as devices write it, with elevation and time; lean: a route of bare
// points. Written once into the benchmarks' data folder and kept: a file read
// straight after it was written is read while the kernel writes it back, which
// made the load up to half as slow again. So it is synced before it is renamed
// into place, and a half-written file never takes the name.
std::string writeTrail(bool lean)
{
    const auto p = std::filesystem::path(VARNO_BENCH_DATA_DIR) /
                   (lean ? "trail-1M-lean.gpx" : "trail-1M.gpx");
    if (std::filesystem::exists(p))
        return p.string();
    std::filesystem::create_directories(p.parent_path());
    const auto part = p.string() + ".part";
    std::FILE* out = std::fopen(part.c_str(), "wb");
    if (!out)
        return p.string(); // the loads then say why
    if (lean) {
        std::fputs("<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><rte>\n", out);
        for (int i = 0; i < kPoints; ++i)
            std::fprintf(out, "<rtept lat=\"%.6f\" lon=\"%.6f\"/>\n", 51.0 + i * 1e-6, -1.0 + i * 2e-6);
        std::fputs("</rte></gpx>\n", out);
    } else {
        std::fputs("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
                   "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>Bench</name>\n",
                   out);
        for (int i = 0; i < kPoints; ++i) {
            if (i % 10000 == 0)
                std::fputs(i ? "</trkseg>\n<trkseg>\n" : "<trkseg>\n", out);
            std::fprintf(out,
                         "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele>"
                         "<time>2024-05-12T08:%02d:%02dZ</time></trkpt>\n",
                         51.0 + i * 1e-6, -1.0 + i * 2e-6, 100.0 + i % 50, (i / 60) % 60, i % 60);
        }
        std::fputs("</trkseg>\n</trk>\n</gpx>\n", out);
    }
    const bool written = std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
    std::fclose(out);
    if (written)
        std::filesystem::rename(part, p);
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

// The floor under the loader: expat alone reading the same file into its own
// buffer with an element handler that does nothing.
void BM_ExpatAlone(benchmark::State& state)
{
    const std::string& f = trailFile();
    long elements = 0;
    for (auto _ : state) {
        std::FILE* in = std::fopen(f.c_str(), "rb");
        XML_Parser p = XML_ParserCreate(nullptr);
        XML_SetUserData(p, &elements);
        XML_SetElementHandler(
            p, [](void* n, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(n); },
            [](void*, const XML_Char*) {});
        for (bool last = false; !last;) {
            void* buf = XML_GetBuffer(p, 64 * 1024);
            const std::size_t got = std::fread(buf, 1, 64 * 1024, in);
            last = got < 64 * 1024;
            if (XML_ParseBuffer(p, static_cast<int>(got), last) != XML_STATUS_OK) {
                state.SkipWithError("expat refused the file");
                break;
            }
        }
        XML_ParserFree(p);
        std::fclose(in);
    }
    state.counters["elements"] = static_cast<double>(elements) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ExpatAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

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
