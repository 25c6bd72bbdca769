// Camera store and warner at the size of real camera lists: loads, reloads, per-fix work, replay pipeline.
//
// The last line printed is the replay pipeline's figure: sentences per second
// through the mailbox, the decoder and the per-fix camera processing, on a
// drive circling inside an area of 200 cameras that stay listed throughout.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <fmt/printf.h>

#include "base/LineReader.h"
#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraFile.h"
#include "cameras/CameraWarner.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "gps/SentenceMailbox.h"
#include "settings/Settings.h"

using namespace varno;

namespace {

constexpr int kCameras = 1000000;
// The drive circles the middle of an area of its own holding 200 cameras:
// each is within kAreaRadius of the middle, the drive within kDriveRadius, so
// all of them are always within the 4 km load radius.
constexpr double kFixLat = 60.5;
constexpr double kFixLon = 5.0;
constexpr geo::LatLon kFix{kFixLat, kFixLon};
constexpr int kAreaCameras = 200;
constexpr double kAreaRadius = 3700.0; // [m]
constexpr double kDriveRadius = 250.0; // [m]
constexpr int kDriveFixes = 6000;

// A settings file in a scratch folder with what the warner reads.
struct BenchSettings {
    std::filesystem::path file = std::filesystem::temp_directory_path() / "varno-bench-cameras-settings.reg";
    SilentPrompt prompt;
    std::unique_ptr<settings::SettingsStore> store;
    std::unique_ptr<settings::Settings> settings;
    explicit BenchSettings(const std::string& cameraFile)
    {
        std::filesystem::remove(file);
        store = std::make_unique<settings::SettingsStore>(file.string());
        settings = std::make_unique<settings::Settings>(*store, prompt);
        namespace keys = settings::keys;
        settings->write(keys::MapScale, 4000);
        settings->write(keys::AverageSpeed, 1u);
        settings->write(keys::CameraFile, cameraFile);
        settings->write(keys::VoiceFolder, "/nonexistent");
        // A settings file written moments ago is read again on every look, in
        // case a second edit kept its size and time; a driver's file is older.
        std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::hours(1));
    }
};

const std::string& cameraFilePath()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "varno-bench-cameras.txt").string();
        std::ofstream out(p, std::ios::binary);
        unsigned seed = 1;
        auto rnd = [&] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) / double(1u << 24);
        };
        // Spread over Great Britain, the way a national list is.
        for (int i = 0; i < kCameras - kAreaCameras; ++i)
            out << fmt::sprintf("%f,%f,A%d,Town,,GATSO,,30\n", 50.0 + rnd() * 8.5, -5.5 + rnd() * 7.3,
                                i % 999);
        for (int i = 0; i < kAreaCameras; ++i) {
            double a = rnd() * 6.283185307179586, r = std::sqrt(rnd()) * kAreaRadius;
            out << fmt::sprintf("%f,%f,B%d,Town,,%s,,50\n", kFixLat + r * std::sin(a) / 111248.4,
                                kFixLon + r * std::cos(a) / (111319.2 * std::cos(kFixLat * 0.0174533)), i,
                                i % 10 == 0 ? "SPECS" : "GATSO");
        }
        return p;
    }();
    return path;
}

struct Rig {
    BenchSettings settings{cameraFilePath()};
    SilentPrompt prompt;
    cameras::SilentVoicePlayer player;
    std::unique_ptr<cameras::CameraWarner> warner;
    Rig() { warner = std::make_unique<cameras::CameraWarner>(*settings.settings, prompt, player, "/tmp"); }
};

// What the program used to do on every reload: read the whole file line by line.
std::size_t plainReread(geo::LatLon fix, double radiusM)
{
    std::FILE* f = std::fopen(cameraFilePath().c_str(), "rb");
    LineReader reader(f);
    std::string line;
    std::size_t kept = 0;
    while (reader.next(line, 299)) {
        stripLineEnd(line);
        const geo::LatLon at = cameras::CameraFile::linePosition(line);
        if (!at)
            continue;
        double d = cameras::CameraDistance(at, fix);
        if (d != -1.0 && d <= radiusM)
            ++kept;
    }
    std::fclose(f);
    return kept;
}

void BM_FirstLoad(benchmark::State& state)
{
    for (auto _ : state) {
        Rig rig;
        rig.warner->store.LoadCameraList(4000, kFix);
        benchmark::DoNotOptimize(rig.warner->store.cameras()->size());
    }
}
BENCHMARK(BM_FirstLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReloadUnchanged(benchmark::State& state)
{
    Rig rig;
    rig.warner->store.LoadCameraList(4000, kFix);
    for (auto _ : state)
        rig.warner->store.LoadCameraList(4000, kFix);
    state.counters["cameras"] = static_cast<double>(rig.warner->store.cameras()->size());
}
BENCHMARK(BM_ReloadUnchanged)->Unit(benchmark::kMicrosecond);

void BM_PlainReread(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(plainReread(kFix, 4000));
}
BENCHMARK(BM_PlainReread)->Unit(benchmark::kMillisecond)->Iterations(3);

// Parsing a 10 MB camera list whose lines end in LF (0), in CR alone (1) or in
// nothing at all (2): the file is cut into pieces of at most 298 bytes either
// way, and the cut must not cost more without line feeds.
void BM_ParseLineEnds(benchmark::State& state)
{
    const char* const ends[] = {"\n", "\r", ""};
    std::string text;
    for (int i = 0; text.size() < 10'000'000; ++i)
        text += fmt::sprintf("%f,%f,A%d,Town,,GATSO,,30%s", 50.0 + (i % 8501) / 1000.0,
                             -5.5 + (i % 7301) / 1000.0, i % 999, ends[state.range(0)]);
    for (auto _ : state) {
        cameras::CameraFile file(text);
        benchmark::DoNotOptimize(file.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLineEnds)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Arg 1: with every driver aid on (side by side with them off), moving at 70 mph so the
// direction aid's search for the nearest camera ahead, the chime's limit checks, the zone's
// average and the coach's section search all run. Arg 2: the same, standing (no course), where
// the direction aid keeps the camera it chose last.
void BM_UpdateCameraWarnings(benchmark::State& state)
{
    Rig rig;
    if (state.range(0))
        rig.warner->aids.on = {true, true, true};
    gps::CNmeaDecoder fix;
    fix.Latitude = kFixLat + 1e-4;
    fix.Longitude = kFixLon;
    fix.SpeedKnots = 60.0;
    fix.Course = 45.0;
    rig.warner->UpdateCameraWarnings(fix.fix());
    if (state.range(0) == 2)
        fix.SpeedKnots = 0.0;
    for (auto _ : state) {
        rig.warner->store.CameraReloadCount = 0; // the per-fix work, without the 62nd-fix reload
        rig.warner->UpdateCameraWarnings(fix.fix());
    }
    state.counters["cameras"] = static_cast<double>(rig.warner->store.cameras()->size());
}
BENCHMARK(BM_UpdateCameraWarnings)->ArgName("aids")->Arg(0)->Arg(1)->Arg(2);

// The drive below, each fix with its speed and course straight into the warner: the per-fix cost of
// the driver aids, all off (0) and all on (1) side by side, while the cameras ahead change as the
// course turns and the specs cameras start and end their measurements.
void BM_DriveFixes(benchmark::State& state)
{
    Rig rig;
    if (state.range(0))
        rig.warner->aids.on = {true, true, true};
    std::vector<gps::Fix> fixes;
    gps::CNmeaDecoder d;
    constexpr int kLap = 600;
    for (int i = 0; i < kLap; ++i) {
        const double a = i * 6.283185307179586 / kLap;
        d.Latitude = kFixLat + kDriveRadius * std::sin(a) / geo::kMetresPerDegreeNorth;
        d.Longitude = kFixLon + kDriveRadius * std::cos(a) /
                                    (geo::kMetresPerDegreeEast * std::cos(kFixLat * geo::kDegToRad));
        d.SpeedKnots = kDriveRadius * 6.283185307179586 / kLap * 3600 / 1852;
        d.Course = std::fmod(std::atan2(-std::sin(a), std::cos(a)) / geo::kDegToRad + 360.0, 360.0);
        const int t = 36000 + i;
        d.GgaHour = static_cast<std::uint8_t>(t / 3600);
        d.GgaMinute = static_cast<std::uint8_t>(t / 60 % 60);
        d.GgaSecond = static_cast<std::uint8_t>(t % 60);
        fixes.push_back(d.fix());
    }
    rig.warner->UpdateCameraWarnings(fixes.front()); // the first load
    std::size_t i = 0;
    for (auto _ : state) {
        rig.warner->store.CameraReloadCount = 0; // the per-fix work, without the 62nd-fix reload
        rig.warner->UpdateCameraWarnings(fixes[i]);
        i = i + 1 == fixes.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DriveFixes)->ArgName("aids")->Arg(0)->Arg(1);

// Fix i of the drive: once round a circle every 600 s, one fix a second.
std::string gga(int i)
{
    const double a = i * 6.283185307179586 / 600;
    const double lat = kFixLat + kDriveRadius * std::sin(a) / geo::kMetresPerDegreeNorth;
    const double lon = kFixLon + kDriveRadius * std::cos(a) /
                                     (geo::kMetresPerDegreeEast * std::cos(kFixLat * geo::kDegToRad));
    const int t = 36000 + i;
    std::string body = fmt::sprintf(
        "GPGGA,%02d%02d%02d.00,%02d%09.6f,N,%03d%09.6f,E,1,08,0.9,50.0,M,47.0,M,,", t / 3600 % 24,
        t / 60 % 60, t % 60, static_cast<int>(lat), (lat - static_cast<int>(lat)) * 60, static_cast<int>(lon),
        (lon - static_cast<int>(lon)) * 60);
    unsigned c = 0;
    for (char ch : body)
        c ^= static_cast<unsigned char>(ch);
    return fmt::sprintf("$%s*%02X", body, c);
}

// The replay's loop: each sentence through the mailbox and the decoder, then the camera processing.
struct Pipeline {
    Rig rig;
    std::vector<std::string> sentences;
    gps::CNmeaDecoder fix;
    gps::SentenceMailbox mailbox;

    Pipeline()
    {
        for (int i = 0; i < kDriveFixes; ++i)
            sentences.push_back(gga(i));
        rig.warner->replayStarted();
        run(); // the first load reads and indexes the camera file
    }
    void run()
    {
        for (const auto& s : sentences) {
            mailbox.replace(s);
            if (auto taken = mailbox.take())
                gps::intakeSentence(fix, *taken);
            rig.warner->UpdateCameraWarnings(fix.fix());
        }
    }
    std::size_t listed() const { return rig.warner->store.cameras()->size(); }
};

void BM_ReplayPipeline(benchmark::State& state)
{
    Pipeline p;
    for (auto _ : state)
        p.run();
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(p.sentences.size()));
    state.counters["cameras"] = static_cast<double>(p.listed());
}
BENCHMARK(BM_ReplayPipeline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    // The reload against the plain re-read of the same file, side by side.
    Rig rig;
    rig.warner->store.LoadCameraList(4000, kFix);
    auto t0 = std::chrono::steady_clock::now();
    constexpr int kReloads = 200;
    for (int i = 0; i < kReloads; ++i)
        rig.warner->store.LoadCameraList(4000, kFix);
    auto t1 = std::chrono::steady_clock::now();
    std::size_t kept = plainReread(kFix, 4000);
    auto t2 = std::chrono::steady_clock::now();
    double reload = std::chrono::duration<double, std::micro>(t1 - t0).count() / kReloads;
    double reread = std::chrono::duration<double, std::micro>(t2 - t1).count();
    std::printf(
        "reload of an unchanged %d-camera file: %.1f us; plain re-read: %.0f us (%zu cameras); ratio %.0fx\n",
        kCameras, reload, reread, kept, reread / reload);

    // The replay pipeline's figure, on the CPU time of this thread.
    Pipeline pipeline;
    constexpr int kRounds = 50;
    const std::clock_t c0 = std::clock();
    for (int i = 0; i < kRounds; ++i)
        pipeline.run();
    const double seconds = double(std::clock() - c0) / CLOCKS_PER_SEC;
    std::printf(
        "replay pipeline (mailbox, decode, camera processing; %zu cameras listed): %.0f sentences/s\n",
        pipeline.listed(), kRounds * double(pipeline.sentences.size()) / seconds);
    benchmark::Shutdown();
    return 0;
}
