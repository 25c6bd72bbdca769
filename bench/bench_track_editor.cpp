// The track editor's scene for 1024 x 768: a generated store of 20 000 ways
// (full extent, zoomed in, and panning frame after frame), built and painted,
// one of 200 000 ways zoomed in, and the real OSM extract (whole, zoomed in on
// the town, and panning there).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>
#include <random>

#include "base/Prompt.h"
#include "gui/paint/ScenePainter.h"
#include "trackedit/Editor.h"

using namespace varno;

namespace {

constexpr int kW = 1024, kH = 768;

// Short ways scattered over a town-sized box, like the roads of an OSM extract.
std::vector<trackedit::TrackEntry> generatedWays(int count)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(53.50, 53.62), lon(13.15, 13.38), step(-0.0006, 0.0006);
    std::vector<trackedit::TrackEntry> ways(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        trackedit::TrackEntry& e = ways[static_cast<std::size_t>(i)];
        e.description = "OSM:" + std::to_string(i) + ":highway=" + (i % 7 ? "residential" : "primary");
        e.loaded = true;
        double a = lat(rng), o = lon(rng);
        for (int p = 0; p < 12; ++p) {
            e.points.push_back({a, o});
            a += step(rng);
            o += step(rng);
        }
        e.updateExtent();
    }
    return ways;
}

struct Fixture {
    SilentPrompt prompt;
    trackedit::Editor editor{prompt};
    Fixture()
    {
        editor.newMap();
        editor.appendEntries(generatedWays(20000));
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void zoomBy(trackedit::Editor& e, double factor)
{
    e.fitAllTracks();
    const auto& p = e.projection();
    // Into the middle of the fitted view.
    const double lon = p.leftLonDeg + 0.5 * kW / (p.scale * 111319.2 * 0.6);
    const double lat = p.topLatDeg - 0.3 * kH / (p.scale * 111248.4);
    e.setOrigin(lon, lat, p.scale * factor);
}

void buildOnly(benchmark::State& state, double zoom)
{
    trackedit::Editor& e = fixture().editor;
    zoomBy(e, zoom);
    std::size_t items = 0;
    for (auto _ : state) {
        views::Scene scene;
        e.buildScene(scene, kW, kH);
        items = scene.items.size();
        benchmark::DoNotOptimize(scene.items.data());
    }
    state.counters["items"] = static_cast<double>(items);
}

void buildAndPaint(benchmark::State& state, double zoom)
{
    trackedit::Editor& e = fixture().editor;
    zoomBy(e, zoom);
    QImage img(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        views::Scene scene;
        e.buildScene(scene, kW, kH);
        QPainter p(&img);
        paintScene(p, scene);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_EditorScene_Full(benchmark::State& s)
{
    buildOnly(s, 1.0);
}
void BM_EditorScene_Zoomed(benchmark::State& s)
{
    buildOnly(s, 8.0);
}
void BM_EditorSceneAndPaint_Full(benchmark::State& s)
{
    buildAndPaint(s, 1.0);
}
void BM_EditorSceneAndPaint_Zoomed(benchmark::State& s)
{
    buildAndPaint(s, 8.0);
}
BENCHMARK(BM_EditorScene_Full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorScene_Zoomed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorSceneAndPaint_Full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorSceneAndPaint_Zoomed)->Unit(benchmark::kMillisecond);

// A region's worth of ways (200 000 over a quarter by one and a quarter degrees) zoomed in
// on a town: what the lookup of entries near the screen saves.
void BM_EditorScene_Region200k(benchmark::State& state)
{
    static SilentPrompt prompt;
    static std::unique_ptr<trackedit::Editor> editor;
    if (!editor) {
        editor = std::make_unique<trackedit::Editor>(prompt);
        editor->newMap();
        std::vector<trackedit::TrackEntry> ways;
        for (int tile = 0; tile < 10; ++tile) {
            std::vector<trackedit::TrackEntry> part = generatedWays(20000);
            for (trackedit::TrackEntry& e : part) {
                for (trackedit::TrackPoint& p : e.points) {
                    p.latDeg += (tile % 2) * 0.15;
                    p.lonDeg += (tile / 2) * 0.25 - 0.5;
                }
                e.updateExtent();
            }
            ways.insert(ways.end(), std::make_move_iterator(part.begin()),
                        std::make_move_iterator(part.end()));
        }
        editor->appendEntries(std::move(ways));
        editor->setOrigin(13.25, 53.58, 0.2);
    }
    std::size_t items = 0;
    for (auto _ : state) {
        views::Scene scene;
        editor->buildScene(scene, kW, kH);
        items = scene.items.size();
        benchmark::DoNotOptimize(scene.items.data());
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_EditorScene_Region200k)->Unit(benchmark::kMillisecond);

// Panning by right-button drags, one frame per drag: the frames per second.
void BM_EditorPanFrame(benchmark::State& state)
{
    trackedit::Editor& e = fixture().editor;
    zoomBy(e, 2.0);
    QImage img(kW, kH, QImage::Format_RGB32);
    int dir = 1;
    for (auto _ : state) {
        e.onPointer({views::PointerEvent::Kind::Press, views::PointerEvent::Button::Right, 500, 400});
        e.onPointer(
            {views::PointerEvent::Kind::Release, views::PointerEvent::Button::Right, 500 + 20 * dir, 400});
        dir = -dir;
        views::Scene scene;
        e.buildScene(scene, kW, kH);
        QPainter p(&img);
        paintScene(p, scene);
        p.end();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EditorPanFrame)->Unit(benchmark::kMillisecond);

// The real extract: the whole of it, zoomed in on the town, and panning there
// by right-button drags (one frame a drag).
trackedit::Editor* realOsm(std::string& error)
{
    static SilentPrompt prompt;
    static std::unique_ptr<trackedit::Editor> editor;
    static std::string loadError;
    if (!editor && loadError.empty()) {
        std::vector<trackedit::TrackEntry> ways;
        const trackedit::LoadReport r =
            trackedit::loadOsm(std::string(VARNO_CORPUS_DIR) + "/osm/josm/neubrandenburg.osm", ways);
        if (r.error) {
            loadError = *r.error;
        } else {
            editor = std::make_unique<trackedit::Editor>(prompt);
            editor->newMap();
            editor->appendEntries(std::move(ways));
        }
    }
    error = loadError;
    return editor.get();
}

void realOsmFrames(benchmark::State& state, bool town, bool pan)
{
    std::string error;
    trackedit::Editor* editor = realOsm(error);
    if (!editor) {
        state.SkipWithError(error.c_str());
        return;
    }
    editor->fitAllTracks();
    if (town) {
        // Five steps of the zoom-in button, the town centre in the middle.
        const double scale = editor->projection().scale * std::pow(1.4, 5);
        const double lat = 53.5575, lon = 13.2610;
        editor->setOrigin(lon - kW / 2.0 / (std::cos(lat * 0.017453292519943295) * 111319.2 * scale),
                          lat + (kH - 134) / 2.0 / (111248.4 * scale), scale);
    }
    QImage img(kW, kH, QImage::Format_RGB32);
    int dir = 1;
    std::size_t items = 0;
    for (auto _ : state) {
        if (pan) {
            editor->onPointer(
                {views::PointerEvent::Kind::Press, views::PointerEvent::Button::Right, 500, 400});
            editor->onPointer({views::PointerEvent::Kind::Release, views::PointerEvent::Button::Right,
                               500 + 20 * dir, 400});
            dir = -dir;
        }
        views::Scene scene;
        editor->buildScene(scene, kW, kH);
        QPainter p(&img);
        paintScene(p, scene);
        p.end();
        items = scene.items.size();
    }
    state.counters["items"] = static_cast<double>(items);
    if (pan)
        state.counters["fps"] =
            benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EditorSceneAndPaint_RealOsm(benchmark::State& s)
{
    realOsmFrames(s, false, false);
}
void BM_EditorSceneAndPaint_RealOsmTown(benchmark::State& s)
{
    realOsmFrames(s, true, false);
}
void BM_EditorPanFrame_RealOsmTown(benchmark::State& s)
{
    realOsmFrames(s, true, true);
}
BENCHMARK(BM_EditorSceneAndPaint_RealOsm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorSceneAndPaint_RealOsmTown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorPanFrame_RealOsmTown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
