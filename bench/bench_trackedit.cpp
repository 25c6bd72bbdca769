// The track editor's background side by side with osmium: loading
// neubrandenburg.osm and a generated 100 MB OSM XML (time, and the peak
// memory of a process that does nothing else), the editor's scene of the
// real file built and painted at 1024 x 768, and the SRTM background.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <filesystem>

#include "gui/paint/ScenePainter.h"
#include "SyntheticOsm.h"
#include "trackedit/Background.h"

using namespace varno;
namespace fs = std::filesystem;

namespace {

const std::string kCorpus = VARNO_CORPUS_DIR;

std::string neubrandenburg()
{
    return kCorpus + "/osm/josm/neubrandenburg.osm";
}

std::string bigOsm()
{
    static const std::string path = [] {
        const fs::path dir = fs::temp_directory_path() / "varno-bench-convert";
        fs::create_directories(dir);
        return bench::syntheticOsmXml(dir);
    }();
    return path;
}

bool haveOsmium()
{
    return std::system("command -v osmium >/dev/null 2>&1") == 0;
}

void load(benchmark::State& state, const std::string& path)
{
    std::size_t entries = 0;
    for (auto _ : state) {
        std::vector<trackedit::TrackEntry> out;
        const trackedit::LoadReport r = trackedit::loadOsm(path, out);
        if (!r)
            state.SkipWithError(r.error.value_or("cancelled").c_str());
        entries = out.size();
    }
    state.counters["entries"] = static_cast<double>(entries);
}

void BM_LoadOsm_Neubrandenburg(benchmark::State& state)
{
    load(state, neubrandenburg());
}
BENCHMARK(BM_LoadOsm_Neubrandenburg)->Unit(benchmark::kMillisecond)->UseRealTime();

// Our load and osmium's, taking turns so both see the same machine (the
// cores are shared): the time shown is ours, the counters give the best of
// each side and their ratio.
void BM_LoadOsm_Grid100MB_BesideOsmium(benchmark::State& state)
{
    const std::string path = bigOsm();
    const bool osmium = haveOsmium();
    const std::string command = "osmium cat '" + path + "' -o /dev/null -f opl -O";
    using Clock = std::chrono::steady_clock;
    double best = 1e9, bestOsmium = 1e9;
    for (auto _ : state) {
        auto start = Clock::now();
        std::vector<trackedit::TrackEntry> out;
        if (const trackedit::LoadReport r = trackedit::loadOsm(path, out); !r)
            state.SkipWithError(r.error.value_or("cancelled").c_str());
        const double ours = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(ours);
        best = std::min(best, ours);
        if (!osmium)
            continue;
        start = Clock::now();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("osmium failed");
        bestOsmium = std::min(bestOsmium, std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["best_ms"] = best * 1e3;
    if (osmium) {
        state.counters["osmium_best_ms"] = bestOsmium * 1e3;
        state.counters["ratio"] = best / bestOsmium;
    }
}
BENCHMARK(BM_LoadOsm_Grid100MB_BesideOsmium)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The load in a fresh process of its own (this program again, told to load,
// print its peak resident size and leave). The child reports the figure
// itself: a forked child's own account would start from its parent's size.
constexpr const char* kLoadOnly = "--load-only=";

long peakKiB(const std::string& path)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return -1;
    const std::string command = "'" + self.string() + "' '" + kLoadOnly + path + "'";
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return -1;
    long kib = -1;
    if (std::fscanf(child, "%ld", &kib) != 1)
        kib = -1;
    return pclose(child) == 0 ? kib : -1;
}

long ownPeakKiB()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld", &kib) == 1)
            break;
    std::fclose(f);
    return kib;
}

void BM_LoadOsm_Grid100MB_PeakMemory(benchmark::State& state)
{
    const std::string path = bigOsm();
    long base = 0, peak = 0;
    for (auto _ : state) {
        base = peakKiB("");
        peak = peakKiB(path);
    }
    if (peak < 0 || base < 0)
        state.SkipWithError("the child failed");
    const double fileMiB = static_cast<double>(fs::file_size(path)) / (1 << 20);
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_MiB"] = peak / 1024.0;
    state.counters["start_MiB"] = base / 1024.0;
    state.counters["peak_per_file"] = peak / 1024.0 / fileMiB;
}
BENCHMARK(BM_LoadOsm_Grid100MB_PeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The editor fitted to all loaded tracks, as after a load: the extent
// widened by a tenth each side, 0.008 over the larger span.
trackedit::EditorProjection fitted(const std::vector<trackedit::TrackEntry>& entries)
{
    double minLat = 89.9, maxLat = -89.9, minLon = 179.9, maxLon = -179.9;
    for (const auto& e : entries)
        for (const auto& p : e.points) {
            minLat = std::min(minLat, p.latDeg);
            maxLat = std::max(maxLat, p.latDeg);
            minLon = std::min(minLon, p.lonDeg);
            maxLon = std::max(maxLon, p.lonDeg);
        }
    trackedit::EditorProjection pr;
    pr.width = 1024;
    pr.height = 768;
    pr.leftLonDeg = minLon - (maxLon - minLon) / 10;
    pr.topLatDeg = maxLat + (maxLat - minLat) / 10;
    const double span = std::max(maxLat - minLat, maxLon - minLon);
    pr.scale = std::max(span > 0 ? 0.008 / span : 0.005, 0.0001);
    return pr;
}

const std::vector<trackedit::TrackEntry>& loadedCity()
{
    static const std::vector<trackedit::TrackEntry> entries = [] {
        std::vector<trackedit::TrackEntry> out;
        trackedit::loadOsm(neubrandenburg(), out);
        return out;
    }();
    return entries;
}

void paintTracks(benchmark::State& state, const trackedit::EditorProjection& pr, bool paint = true)
{
    const auto& entries = loadedCity();
    QImage img(pr.width, pr.height, QImage::Format_RGB32);
    // Argument 1: names, refs, icons and node names shown; 0: the lines alone.
    const bool shown = state.range(0) != 0;
    const trackedit::TrackDisplayFlags all{shown, shown, shown, shown};
    std::size_t items = 0;
    for (auto _ : state) {
        views::Scene scene;
        trackedit::drawTracks(scene, pr, entries, all);
        items = scene.items.size();
        if (!paint)
            continue;
        img.fill(Qt::black);
        QPainter p(&img);
        paintScene(p, scene);
    }
    state.counters["entries"] = static_cast<double>(entries.size());
    state.counters["items"] = static_cast<double>(items);
}

void BM_EditorScene_FullExtent(benchmark::State& state)
{
    paintTracks(state, fitted(loadedCity()));
}
BENCHMARK(BM_EditorScene_FullExtent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scene alone, to tell building from painting.
void BM_EditorScene_FullExtent_BuildOnly(benchmark::State& state)
{
    paintTracks(state, fitted(loadedCity()), false);
}
BENCHMARK(BM_EditorScene_FullExtent_BuildOnly)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Eight zoom-in steps (x 1.4 each) about the middle of the city.
void BM_EditorScene_ZoomedIn(benchmark::State& state)
{
    trackedit::EditorProjection pr = fitted(loadedCity());
    const double midLat = 53.555, midLon = 13.274;
    pr.scale *= std::pow(1.4, 8);
    pr.topLatDeg = midLat + 384 / (111248.4 * pr.scale);
    pr.leftLonDeg = midLon - 512 / (std::cos(midLat * 0.017453292519943295) * 111319.2 * pr.scale);
    paintTracks(state, pr);
}
BENCHMARK(BM_EditorScene_ZoomedIn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string tile()
{
    return kCorpus + "/hgt/gpxeditor/N46W122.hgt";
}

void BM_SrtmTileLoad(benchmark::State& state)
{
    for (auto _ : state) {
        std::string message;
        if (!trackedit::loadSrtmLayer(tile(), message))
            state.SkipWithError(message.c_str());
    }
}
BENCHMARK(BM_SrtmTileLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SrtmBackground_BuildAndPaint(benchmark::State& state)
{
    std::string message;
    const auto layer = trackedit::loadSrtmLayer(tile(), message);
    if (!layer) {
        state.SkipWithError(message.c_str());
        return;
    }
    QImage img(1024, 768, QImage::Format_RGB32);
    for (auto _ : state) {
        views::Scene scene;
        trackedit::drawSrtm(scene, *layer, 1024, 768);
        QPainter p(&img);
        paintScene(p, scene);
    }
}
BENCHMARK(BM_SrtmBackground_BuildAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string_view(argv[1]).starts_with(kLoadOnly)) {
        const std::string path(argv[1] + std::strlen(kLoadOnly));
        std::vector<trackedit::TrackEntry> out;
        if (!path.empty() && !trackedit::loadOsm(path, out))
            return 1;
        std::printf("%ld\n", ownPeakKiB());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv); // fonts for the labels
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
