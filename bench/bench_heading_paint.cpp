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

#include "base/Clock.h"
#include "base/Prompt.h"
#include "CSio.h"
#include "gui/frame/CVARNOView.h"
#include "gui/paint/ScenePainter.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

using namespace varno;

namespace {

constexpr double kFixLat = 51.5;
constexpr double kFixLon = -1.3;
constexpr int kTrailPoints = 100000;

std::string sentence()
{
    const std::string body = "$GPRMC,122517.0,A,5130.00000,N,00118.00000,W,035.0,090.0,170606,,,A";
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum & 0xFF);
    return body + tail;
}

struct HeadingRig {
    HeadingRig()
    {
        std::mt19937 rng(5);
        dir = std::filesystem::temp_directory_path() / ("varno-bench-heading-" + std::to_string(rng()));
        std::filesystem::create_directories(dir);
        store = std::make_unique<settings::SettingsStore>((dir / "settings.reg").string());
        settings = std::make_unique<settings::Settings>(*store, prompt);
        settings->writeDefaults();
        settings->write(settings::keys::TrackLength, 5000);
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
        gpx.close();

        session = std::make_unique<session::Session>(session::Session::Deps{
            *settings, prompt, clock, port, dir.string(), [](std::chrono::milliseconds) {}});
        session->loadTrail((dir / "trail.gpx").string());
        session->decoder().Latitude = kFixLat;
        session->decoder().Longitude = kFixLon;
        session->decoder().SpeedKnots = 35.0;
        auto& ring = session->trackLogging().ring();
        for (int i = 0; i < 5001; ++i) {
            const double t = i * 0.004;
            ring.record({kFixLat + std::sin(t) * 0.02, kFixLon + std::cos(t * 1.3) * 0.03});
        }
        session->mailbox().offer(sentence());
        view = std::make_unique<CVARNOView>(*session);
        view->resize(800, 600);
    }
    ~HeadingRig()
    {
        view.reset();
        session.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::filesystem::path dir;
    SilentPrompt prompt;
    FixedClock clock{LocalTime{}};
    platform::CSio port;
    std::unique_ptr<settings::SettingsStore> store;
    std::unique_ptr<settings::Settings> settings;
    std::unique_ptr<session::Session> session;
    std::unique_ptr<CVARNOView> view;
};

// The whole repaint (scene built and painted) of one view.
void repaint(benchmark::State& state, views::MapView v)
{
    HeadingRig rig;
    rig.session->toggleView(v);
    QImage img(800, 600, QImage::Format_RGB32);
    const std::string s = sentence();
    for (auto _ : state) {
        rig.session->mailbox().replace(s);
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
    const session::Session::Intake none{};
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.session->buildScene(800, 600, none).items.size());
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
