// The road map in use: matching fixes (warm, and the first fix in a new area), the camera view's
// scene and paint with thousands of ways on screen beside the same view without them, and the
// view's re-query after moving. The road map is built once from a made town of grid streets.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "gui/paint/ScenePainter.h"
#include "roads/RoadFollower.h"
#include "roads/RoadMapBuilder.h"
#include "views/RoadLayer.h"
#include "views/ViewMode.h"

using namespace varno;

namespace {

constexpr double kLat = 53.55, kLon = 13.25;
constexpr double kSpacingM = 125.0; // between streets
constexpr int kLines = 120;         // streets each way: 15 km
constexpr int kCellsPerWay = 2;     // each way 250 m, three nodes

double latOf(double northM)
{
    return kLat + northM / 111248.4;
}
double lonOf(double eastM)
{
    return kLon + eastM / (std::cos(kLat * 0.017453292519943295) * 111319.2);
}

// A town of grid streets: every tenth a primary, every fifth a secondary, the
// rest residential, named by number, with limits; a few one way.
std::string madeTown()
{
    const auto dir = std::filesystem::temp_directory_path() / "varno-bench-roads";
    std::filesystem::create_directories(dir);
    const std::string osm = (dir / "town.osm").string(), map = (dir / "town.sqlite").string();
    if (std::filesystem::exists(map))
        return map;
    std::ofstream out(osm);
    out << "<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6'>\n";
    auto node = [](int i, int j) { return 1 + i * kLines + j; };
    const double half = kLines * kSpacingM / 2.0;
    for (int i = 0; i < kLines; ++i)
        for (int j = 0; j < kLines; ++j)
            out << "<node id='" << node(i, j) << "' version='1' lat='" << latOf(i * kSpacingM - half)
                << "' lon='" << lonOf(j * kSpacingM - half) << "'/>\n";
    long id = 1;
    auto way = [&](bool eastward, int line, int from) {
        const char* cls = line % 10 == 0 ? "primary" : line % 5 == 0 ? "secondary" : "residential";
        out << "<way id='" << id++ << "' version='1'>";
        for (int k = from; k <= std::min(from + kCellsPerWay, kLines - 1); ++k)
            out << "<nd ref='" << (eastward ? node(line, k) : node(k, line)) << "'/>";
        out << "<tag k='highway' v='" << cls << "'/><tag k='name' v='" << (eastward ? "East " : "North ")
            << line << "'/><tag k='maxspeed' v='" << (line % 5 == 0 ? 50 : 30) << "'/>";
        if (line % 7 == 3)
            out << "<tag k='oneway' v='yes'/>";
        out << "</way>\n";
    };
    for (int line = 0; line < kLines; ++line)
        for (int from = 0; from + 1 < kLines; from += kCellsPerWay) {
            way(true, line, from);
            way(false, line, from);
        }
    out << "</osm>\n";
    out.close();
    const Report r = roads::buildRoadMap(osm, map);
    if (!r.ok())
        std::fprintf(stderr, "%s\n", r.message.c_str());
    return map;
}

std::unique_ptr<roads::RoadFollower> openTown()
{
    roads::OpenedRoadMap opened = roads::openRoadMap(madeTown());
    if (!opened.source) {
        std::fprintf(stderr, "%s\n", opened.error.c_str());
        std::abort();
    }
    return std::make_unique<roads::RoadFollower>(std::move(opened.source));
}

gps::Fix fixAt(double eastM, double northM, double course)
{
    gps::Fix f;
    f.position = geo::LatLon(latOf(northM), lonOf(eastM));
    f.courseDeg = course;
    f.speedKnots = 25.0;
    return f;
}

// Along a street (a little off its middle), to and fro within the ways read: no re-query.
void BM_MatchWarm(benchmark::State& state)
{
    auto follower = openTown();
    const double street = 3 * kSpacingM - kLines * kSpacingM / 2.0 + 12 * kSpacingM; // an east-west street
    int step = 0;
    for (auto _ : state) {
        const double east = (step++ % 100) - 50.0;
        benchmark::DoNotOptimize(follower->onFix(fixAt(east, street + 2.0, 90.0), true));
    }
    state.counters["queries"] = static_cast<double>(follower->matchQueries());
    state.counters["matched"] = follower->road() ? 1 : 0;
}
BENCHMARK(BM_MatchWarm)->Unit(benchmark::kMicrosecond);

// Every fix a kilometre or more from the last: each reads its ways from the file first.
void BM_MatchFirstFixInANewArea(benchmark::State& state)
{
    auto follower = openTown();
    int step = 0;
    for (auto _ : state) {
        const int k = step++ % 36;
        benchmark::DoNotOptimize(
            follower->onFix(fixAt((k % 6 - 3) * 1000.0 + 2.0, (k / 6 - 3) * 1000.0 + 2.0, 90.0), true));
    }
    state.counters["queries"] = static_cast<double>(follower->matchQueries()) / static_cast<double>(step);
}
BENCHMARK(BM_MatchFirstFixInANewArea)->Unit(benchmark::kMicrosecond);

views::SceneInput cameraViewInput()
{
    views::SceneInput in;
    in.windowWidth = 800;
    in.windowHeight = 600;
    in.fix = fixAt(10.0, 10.0, 90.0);
    in.mapRadius = 4000.0;
    in.nothingReceived = false;
    return in;
}

// The camera view's scene built and painted at 800 x 600; range(0): with the road map.
void BM_CameraViewSceneAndPaint(benchmark::State& state)
{
    auto follower = openTown();
    views::SceneInput in = cameraViewInput();
    if (state.range(0))
        in.roadMap = follower.get();
    const auto mode = views::makeCameraMode();
    QImage img(800, 600, QImage::Format_RGB32);
    std::size_t ways = 0;
    for (auto _ : state) {
        const views::Scene scene = views::composeScene(*mode, in);
        QPainter p(&img);
        paintScene(p, scene);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
        ways = scene.all<views::PolylineItem>().size();
    }
    state.counters["polylines"] = static_cast<double>(ways);
    state.counters["view_queries"] = static_cast<double>(follower->viewQueries());
}
BENCHMARK(BM_CameraViewSceneAndPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The scene alone, with the road map: what of the above is the core's.
void BM_CameraViewSceneOnly(benchmark::State& state)
{
    auto follower = openTown();
    views::SceneInput in = cameraViewInput();
    in.roadMap = follower.get();
    const auto mode = views::makeCameraMode();
    for (auto _ : state)
        benchmark::DoNotOptimize(views::composeScene(*mode, in));
}
BENCHMARK(BM_CameraViewSceneOnly)->Unit(benchmark::kMicrosecond);

// The view moved just past its margin, driving east (and back west to start
// over): the ways of the camera view's box read again, only its new strips.
void BM_ViewRequeryAfterMoving(benchmark::State& state)
{
    auto follower = openTown();
    const views::RoadMapArea area{1 + 184, 123 + 139, {2, 124, 378, 413}};
    const double reach = views::roadReachM(area, 4000.0);
    const double step = reach * 0.5 + 10.0; // the cache's margin, and a little
    double east = -3000.0;
    follower->waysAround(geo::LatLon(kLat, lonOf(east)), reach);
    const std::size_t before = follower->viewQueries();
    std::size_t ways = 0;
    for (auto _ : state) {
        east = east + step > 3000.0 ? -3000.0 : east + step;
        ways = follower->waysAround(geo::LatLon(kLat, lonOf(east)), reach).size();
    }
    state.counters["ways"] = static_cast<double>(ways);
    state.counters["queries"] =
        static_cast<double>(follower->viewQueries() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ViewRequeryAfterMoving)->Unit(benchmark::kMillisecond);

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
