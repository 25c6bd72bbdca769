// What the repaint benchmarks share: a session over settings of its own in a temporary folder, and its view.
#pragma once

#include <QString>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

#include "base/Clock.h"
#include "base/Prompt.h"
#include "gps/AbsentSerialPort.h"
#include "gui/frame/CVARNOView.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace varno::bench {

// An RMC at 35 kn on course 90 with its checksum, so a repaint decodes it and records the track.
inline std::string movingSentence()
{
    const std::string body = "$GPRMC,122517.0,A,5130.00000,N,00118.00000,W,035.0,090.0,170606,,,A";
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum & 0xFF);
    return body + tail;
}

// The settings are written with every default before `prepare` adds the
// benchmark's own (and its files); `setUp` runs on the session before the view
// is made (none when withView is false: the benchmark makes its window).
struct SessionRig {
    using Prepare = std::function<void(const std::filesystem::path& dir, settings::Settings&)>;
    using SetUp = std::function<void(SessionRig&)>;

    SessionRig(const std::string& name, const Prepare& prepare, const SetUp& setUp, bool withView = true)
    {
        dir =
            std::filesystem::temp_directory_path() / ("varno-bench-" + name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        store = std::make_unique<settings::SettingsStore>((dir / "settings.reg").string());
        settings = std::make_unique<settings::Settings>(*store, prompt);
        settings->writeDefaults();
        if (prepare)
            prepare(dir, *settings);
        session = std::make_unique<session::Session>(session::Session::Deps{
            *settings, prompt, clock, port, dir.string(), [](std::chrono::milliseconds) {}});
        if (setUp)
            setUp(*this);
        if (!withView)
            return;
        view = std::make_unique<CVARNOView>(*session);
        view->resize(800, 600);
    }
    ~SessionRig()
    {
        view.reset();
        session.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    // The fix at a place, moving; and `points` track points winding around it.
    void placeFix(double latDeg, double lonDeg, double speedKnots, int trackPoints) const
    {
        auto& fix = session->decoder();
        fix.Latitude = latDeg;
        fix.Longitude = lonDeg;
        fix.SpeedKnots = speedKnots;
        auto& ring = session->trackLogging().ring();
        for (int i = 0; i < trackPoints; ++i) {
            const double t = i * 0.004;
            ring.record({latDeg + std::sin(t) * 0.02, lonDeg + std::cos(t * 1.3) * 0.03});
        }
    }

    std::filesystem::path dir;
    SilentPrompt prompt;
    FixedClock clock{LocalTime{}};
    // No receiver: the benchmark hands every sentence over itself.
    gps::AbsentSerialPort port;
    std::unique_ptr<settings::SettingsStore> store;
    std::unique_ptr<settings::Settings> settings;
    std::unique_ptr<session::Session> session;
    std::unique_ptr<CVARNOView> view;
};

} // namespace varno::bench
