// POI list rebuild around the fix from 1 000 000 POIs in 10 files: read cold, and again unchanged.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/Prompt.h"
#include "poi/PoiList.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

using namespace varno;

namespace {

constexpr int kFiles = 10;
constexpr int kPerFile = 100000;
const geo::LatLon kFix(52.0, -1.5);

// POIs spread over Great Britain's box, a few hundred of them near the fix.
struct PoiRig {
    PoiRig()
    {
        std::mt19937 rng(11);
        dir = std::filesystem::temp_directory_path() / ("varno-bench-poi-" + std::to_string(rng()));
        std::filesystem::create_directories(dir / "POI");
        store = std::make_unique<settings::SettingsStore>((dir / "settings.reg").string());
        settings = std::make_unique<settings::Settings>(*store, prompt);
        settings->writeDefaults();
        std::uniform_real_distribution<double> lat(50.0, 58.0), lon(-6.0, 1.8), near(-0.03, 0.03);
        settings::SettingsStore::Batch batch(*store);
        for (int f = 0; f < kFiles; ++f) {
            const std::string name = "poi" + std::to_string(f) + ".txt";
            std::ofstream out(dir / "POI" / name);
            char line[128];
            for (int i = 0; i < kPerFile; ++i) {
                const bool close = i % 2000 == 0;
                std::snprintf(line, sizeof line, "%.6f,%.6f,Place %d of file %d,extra\n",
                              close ? kFix.lonDeg() + near(rng) : lon(rng),
                              close ? kFix.latDeg() + near(rng) : lat(rng), i, f);
                out << line;
            }
            batch.setString(settings::kPoiFilesKey, "POIFile" + std::to_string(f + 1), name);
        }
        batch.commit();
    }
    ~PoiRig()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    SilentPrompt prompt;
    std::unique_ptr<settings::SettingsStore> store;
    std::unique_ptr<settings::Settings> settings;
};

PoiRig& rig()
{
    static PoiRig r;
    return r;
}

// The first rebuild: every file read and indexed.
void BM_PoiRebuildFirst(benchmark::State& state)
{
    PoiRig& r = rig();
    std::size_t held = 0;
    for (auto _ : state) {
        poi::PoiList list;
        list.load(kFix, 4000.0, *r.settings, r.prompt, r.dir.string());
        held = list.points().size();
        benchmark::DoNotOptimize(held);
    }
    state.counters["pois_held"] = static_cast<double>(held);
}
BENCHMARK(BM_PoiRebuildFirst)->Unit(benchmark::kMillisecond)->Iterations(3);

// Later rebuilds with the files unchanged.
void BM_PoiRebuildUnchanged(benchmark::State& state)
{
    PoiRig& r = rig();
    poi::PoiList list;
    list.load(kFix, 4000.0, *r.settings, r.prompt, r.dir.string());
    for (auto _ : state) {
        list.load(kFix, 4000.0, *r.settings, r.prompt, r.dir.string());
        benchmark::DoNotOptimize(list.points().data());
    }
    state.counters["file_reads"] = static_cast<double>(list.fileReads());
}
BENCHMARK(BM_PoiRebuildUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
