// Routes: loading a 100 000-point route file, one guidance step over 10 000 points, and the route
// view's scene with 10 000 points (500 on the map) built and painted at 800 x 600.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/Prompt.h"
#include "gui/paint/ScenePainter.h"
#include "routes/Guidance.h"
#include "routes/RouteList.h"
#include "views/RouteViewScene.h"
#include "views/ViewMode.h"

using namespace varno;

namespace {

constexpr double kFixLat = 51.5, kFixLon = -1.3;

// A route file of n points: `near` of them within 3 km of the fix, the rest up to 60 km away.
std::string writeRoute(std::size_t n, std::size_t near)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> close(-3000.0, 3000.0), far(-60000.0, 60000.0);
    const auto path =
        std::filesystem::temp_directory_path() / ("varno-bench-route-" + std::to_string(n) + ".csv");
    std::ofstream out(path);
    out << ";Bench route\n: Gatso 1 :\n";
    for (std::size_t i = 0; i < n; ++i) {
        const bool isNear = i % (n / near) == 0;
        const double north = isNear ? close(rng) : far(rng), east = isNear ? close(rng) : far(rng);
        const double lat = kFixLat + north / 111248.4,
                     lon = kFixLon + east / (111319.2 * std::cos(lat * 0.01745329));
        out << std::fixed;
        out.precision(6);
        out << lon << ',' << lat << ",P" << i << ",Trk" << i << '\n';
    }
    return path.string();
}

routes::RouteList loaded(std::size_t n, std::size_t near)
{
    SilentPrompt quiet;
    routes::RouteList r;
    r.load(writeRoute(n, near), quiet);
    return r;
}

void BM_RouteLoad100k(benchmark::State& state)
{
    const std::string path = writeRoute(100000, 1000);
    SilentPrompt quiet;
    for (auto _ : state) {
        routes::RouteList r;
        r.load(path, quiet);
        benchmark::DoNotOptimize(r.points().data());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_RouteLoad100k)->Unit(benchmark::kMillisecond);

void BM_GuidanceStep10k(benchmark::State& state)
{
    routes::RouteList route = loaded(10000, 500);
    routes::Guidance g;
    double north = 0.0;
    for (auto _ : state) {
        // The fix creeps north, so the nearest point changes now and then.
        north += 1.0;
        benchmark::DoNotOptimize(g.step(route, geo::LatLon(kFixLat + north / 111248.4, kFixLon), true));
    }
}
BENCHMARK(BM_GuidanceStep10k)->Unit(benchmark::kMicrosecond);

// A 10 000-point route with 500 points around the fix, guided once, and the
// route view's input at 800 x 600.
struct RouteViewRig {
    routes::RouteList route = loaded(10000, 500);
    routes::Guidance guidance;
    std::unique_ptr<views::ViewMode> mode = views::makeRouteMode();
    views::SceneInput in;

    RouteViewRig()
    {
        const geo::LatLon fix(kFixLat, kFixLon);
        guidance.step(route, fix, false);
        in.windowWidth = 800;
        in.windowHeight = 600;
        in.fix.position = fix;
        in.route = &route;
        in.guidance = &guidance;
        in.stripText = "$GPRMC";
    }
};

void BM_RouteViewBuildAndPaint(benchmark::State& state)
{
    RouteViewRig rig;
    QImage img(800, 600, QImage::Format_RGB32);
    std::size_t labels = 0;
    for (auto _ : state) {
        const views::Scene scene = views::composeScene(*rig.mode, rig.in);
        labels = scene.items.size();
        QPainter p(&img);
        paintScene(p, scene);
    }
    state.counters["items"] = static_cast<double>(labels);
}
BENCHMARK(BM_RouteViewBuildAndPaint)->Unit(benchmark::kMicrosecond);

// The scene alone, to tell building from painting.
void BM_RouteViewBuildOnly(benchmark::State& state)
{
    RouteViewRig rig;
    for (auto _ : state)
        benchmark::DoNotOptimize(views::composeScene(*rig.mode, rig.in).items.size());
}
BENCHMARK(BM_RouteViewBuildOnly)->Unit(benchmark::kMicrosecond);

// The same scene painted again and again, to tell painting from building.
void BM_RouteViewPaintOnly(benchmark::State& state)
{
    RouteViewRig rig;
    const views::Scene scene = views::composeScene(*rig.mode, rig.in);
    QImage img(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        paintScene(p, scene);
    }
}
BENCHMARK(BM_RouteViewPaintOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
