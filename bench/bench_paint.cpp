// Camera view repaint at 800 x 600: 200 cameras around the fix and a full 5000-point trail.
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
constexpr int kCameras = 200;
constexpr int kTrail = 5000;

const char* const kTypes[] = {"GATSO",   "SPECS",    "MOBILE",   "REDLIGHT",
                              "TRUVELO", "MONITRON", "REDSPEED", "TEMPO"};

// A session over its own settings and camera file, the fix in the middle of
// 200 cameras within 4 km (a few within 250 m, so icons are drawn), and a
// full ring of track points winding through the map.
struct PaintRig : bench::SessionRig {
    PaintRig()
        : SessionRig(
              "paint",
              [](const std::filesystem::path& dir, settings::Settings& settings) {
                  settings.write(settings::keys::TrackLength, kTrail);
                  std::mt19937 rng(7);
                  rng.discard(1); // the draw that once named the folder: the same cameras as ever
                  std::ofstream cams(dir / "VARNOCamera.txt");
                  std::uniform_real_distribution<double> offset(-2800.0, 2800.0);
                  for (int i = 0; i < kCameras; ++i) {
                      const double scale = i < 6 ? 0.05 : 1.0;
                      const double lat = kFixLat + offset(rng) * scale / 111248.4;
                      const double lon =
                          kFixLon + offset(rng) * scale / (std::cos(lat * 0.017453292519943295) * 111319.2);
                      char line[160];
                      std::snprintf(line, sizeof line,
                                    "%f,%f,A34,Newbury,Long hazard text for three pieces here,%s,P,30\n", lat,
                                    lon, kTypes[i % 8]);
                      cams << line;
                  }
              },
              [](bench::SessionRig& rig) {
                  rig.placeFix(kFixLat, kFixLon, 35.0, kTrail + 1);
                  rig.session->loadCameraFile();
                  rig.session->road().notify(); // fills the panel from the nearest camera
                  rig.session->road().mailbox().offer(bench::movingSentence());
              })
    {
    }
};

// The whole repaint of the view, as a sentence message runs it.
void BM_CameraViewRepaint(benchmark::State& state)
{
    PaintRig rig;
    QImage img(800, 600, QImage::Format_RGB32);
    const std::string s = bench::movingSentence();
    for (auto _ : state) {
        rig.session->road().mailbox().replace(s);
        rig.view->render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
    const views::Scene& scene = rig.view->lastScene();
    std::size_t trailPoints = 0;
    for (const views::PolylineItem* l : scene.all<views::PolylineItem>())
        trailPoints += l->points.size();
    state.counters["line_points"] = static_cast<double>(trailPoints);
    state.counters["texts"] = static_cast<double>(scene.all<views::TextItem>().size());
}
BENCHMARK(BM_CameraViewRepaint)->Unit(benchmark::kMicrosecond);

// Only the drawing of a scene already laid out.
void BM_CameraViewDrawOnly(benchmark::State& state)
{
    PaintRig rig;
    QImage img(800, 600, QImage::Format_RGB32);
    rig.view->render(&img);
    const views::Scene scene = rig.view->lastScene();
    for (auto _ : state) {
        QPainter p(&img);
        paintScene(p, scene);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_CameraViewDrawOnly)->Unit(benchmark::kMicrosecond);

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
