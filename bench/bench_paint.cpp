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
constexpr int kCameras = 200;
constexpr int kTrail = 5000;

// A sentence with its checksum, so the repaint decodes it and records the track.
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

const char* const kTypes[] = {"GATSO",   "SPECS",    "MOBILE",   "REDLIGHT",
                              "TRUVELO", "MONITRON", "REDSPEED", "TEMPO"};

// A session over its own settings and camera file, the fix in the middle of
// 200 cameras within 4 km (a few within 250 m, so icons are drawn), and a
// full ring of track points winding through the map.
struct PaintRig {
    PaintRig()
    {
        std::mt19937 rng(7);
        dir = std::filesystem::temp_directory_path() / ("varno-bench-paint-" + std::to_string(rng()));
        std::filesystem::create_directories(dir);
        store = std::make_unique<settings::SettingsStore>((dir / "settings.reg").string());
        settings = std::make_unique<settings::Settings>(*store, prompt);
        settings->writeDefaults();
        settings->write(settings::keys::TrackLength, kTrail);

        std::ofstream cams(dir / "VARNOCamera.txt");
        std::uniform_real_distribution<double> offset(-2800.0, 2800.0);
        for (int i = 0; i < kCameras; ++i) {
            const double scale = i < 6 ? 0.05 : 1.0;
            const double lat = kFixLat + offset(rng) * scale / 111248.4;
            const double lon =
                kFixLon + offset(rng) * scale / (std::cos(lat * 0.017453292519943295) * 111319.2);
            char line[160];
            std::snprintf(line, sizeof line,
                          "%f,%f,A34,Newbury,Long hazard text for three pieces here,%s,P,30\n", lat, lon,
                          kTypes[i % 8]);
            cams << line;
        }
        cams.close();

        session = std::make_unique<session::Session>(session::Session::Deps{
            *settings, prompt, clock, port, dir.string(), [](std::chrono::milliseconds) {}});
        auto& fix = session->decoder();
        fix.Latitude = kFixLat;
        fix.Longitude = kFixLon;
        fix.SpeedKnots = 35.0;
        session->loadCameraFile();
        session->onSentence(); // fills the panel from the nearest camera
        auto& ring = session->trackLogging().ring();
        for (int i = 0; i < kTrail + 1; ++i) {
            const double t = i * 0.004;
            ring.record({kFixLat + std::sin(t) * 0.02, kFixLon + std::cos(t * 1.3) * 0.03});
        }
        session->mailbox().offer(sentence());
        view = std::make_unique<CVARNOView>(*session);
        view->resize(800, 600);
    }
    ~PaintRig()
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

// The whole repaint of the view, as a sentence message runs it.
void BM_CameraViewRepaint(benchmark::State& state)
{
    PaintRig rig;
    QImage img(800, 600, QImage::Format_RGB32);
    const std::string s = sentence();
    for (auto _ : state) {
        rig.session->mailbox().replace(s);
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
