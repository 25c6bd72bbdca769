// Compass, pointer and trail view repaints at 800 x 600, the trail view with a 100 000-point trail.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "SessionRig.h"
#include "gui/paint/ScenePainter.h"

using namespace varno;

namespace {

constexpr double kFixLat = 51.5;
constexpr double kFixLon = -1.3;
constexpr int kTrailPoints = 100000;

struct HeadingRig : bench::SessionRig {
    HeadingRig()
        : SessionRig(
              "heading",
              [](const std::filesystem::path& dir, settings::Settings& settings) {
                  settings.write(settings::keys::TrackLength, 5000);
                  // A trail winding through and far beyond the map, in 100 segments.
                  std::ofstream gpx(dir / "trail.gpx");
                  gpx << "<gpx><trk>";
                  for (int i = 0; i < kTrailPoints; ++i) {
                      if (i % 1000 == 0)
                          gpx << (i ? "</trkseg><trkseg>" : "<trkseg>");
                      const double t = i * 0.0005;
                      char line[96];
                      std::snprintf(line, sizeof line, "<trkpt lat=\"%.7f\" lon=\"%.7f\"/>\n",
                                    kFixLat + std::sin(t) * 0.05, kFixLon + std::cos(t * 1.3) * 0.08);
                      gpx << line;
                  }
                  gpx << "</trkseg></trk></gpx>\n";
              },
              [](bench::SessionRig& rig) {
                  rig.session->loadTrail((rig.dir / "trail.gpx").string());
                  rig.placeFix(kFixLat, kFixLon, 35.0, 5001);
                  rig.session->road().mailbox().offer(bench::movingSentence());
              })
    {
    }
};

// The whole repaint (scene built and painted) of one view.
void repaint(benchmark::State& state, views::MapView v)
{
    HeadingRig rig;
    rig.session->toggleView(v);
    QImage img(800, 600, QImage::Format_RGB32);
    const std::string s = bench::movingSentence();
    for (auto _ : state) {
        rig.session->road().mailbox().replace(s);
        rig.view->render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
    std::size_t points = 0;
    for (const views::PolylineItem* l : rig.view->lastScene().all<views::PolylineItem>())
        points += l->points.size();
    state.counters["line_points"] = static_cast<double>(points);
}

void BM_CompassRepaint(benchmark::State& state)
{
    repaint(state, views::MapView::Compass);
}
void BM_PointerRepaint(benchmark::State& state)
{
    repaint(state, views::MapView::Pointer);
}
void BM_TrailRepaint(benchmark::State& state)
{
    repaint(state, views::MapView::Trail);
}
BENCHMARK(BM_CompassRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointerRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrailRepaint)->Unit(benchmark::kMicrosecond);

// The two halves of a repaint apart: the scene built, and the last scene painted.
void buildOnly(benchmark::State& state, views::MapView v)
{
    HeadingRig rig;
    rig.session->toggleView(v);
    const session::SentenceRoad::Intake none{};
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.session->road().buildScene(800, 600, none).items.size());
}
void paintOnly(benchmark::State& state, views::MapView v)
{
    HeadingRig rig;
    rig.session->toggleView(v);
    QImage img(800, 600, QImage::Format_RGB32);
    rig.view->render(&img);
    const views::Scene scene = rig.view->lastScene();
    for (auto _ : state) {
        QPainter p(&img);
        paintScene(p, scene);
    }
}
void BM_PointerBuild(benchmark::State& state)
{
    buildOnly(state, views::MapView::Pointer);
}
void BM_PointerPaint(benchmark::State& state)
{
    paintOnly(state, views::MapView::Pointer);
}
void BM_TrailBuild(benchmark::State& state)
{
    buildOnly(state, views::MapView::Trail);
}
void BM_TrailPaint(benchmark::State& state)
{
    paintOnly(state, views::MapView::Trail);
}
BENCHMARK(BM_PointerBuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointerPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrailBuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrailPaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
