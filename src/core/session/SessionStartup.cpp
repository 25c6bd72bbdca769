// The session's start-up actions: auto start of the GPS and the log, the start timers, the night timer.
#include "session/Session.h"
#include "session/TimeWindow.h"

namespace varno::session {

using routes::kRouteNameLimit;
namespace keys = settings::keys;

std::optional<std::string> Session::startTimerRoute()
{
    auto& s = deps_.settings;
    const std::string now = hourMinuteText(deps_.clock.now());
    for (std::size_t n = 0; n < keys::StartTimerEnable.size(); ++n) {
        if (s.read(keys::StartTimerEnable[n]) != 1)
            continue;
        const auto start = s.read(keys::StartTimerStartTime[n]);
        const auto end = s.read(keys::StartTimerEndTime[n]);
        // A time that cannot be read leaves the window empty, so the timer does not fire.
        if (!start || !end || !inTimeWindow(now, normaliseTime(*start), normaliseTime(*end)))
            continue;
        auto file = s.read(keys::StartTimerFilename[n]);
        if (!file)
            continue;
        if (file->size() > kRouteNameLimit)
            file->resize(kRouteNameLimit);
        return file;
    }
    return std::nullopt;
}

bool Session::nightTimerActive()
{
    auto& s = deps_.settings;
    if (s.read(keys::NightTimerEnable) != 1)
        return false;
    const auto start = s.read(keys::NightTimerStartTime);
    const auto end = s.read(keys::NightTimerEndTime);
    if (!start || !end)
        return false;
    return inTimeWindow(hourMinuteText(deps_.clock.now()), normaliseTime(*start), normaliseTime(*end));
}

void Session::autoStart()
{
    auto& s = deps_.settings;
    if (s.read(keys::AutoStartGPS) == 1 && !gps_.portOpen())
        startGps();

    if (s.read(keys::AutoStartLog) == 1)
        log_.toggleAutomatic(deps_.clock, deps_.dataRoot, deps_.prompt);

    bool timerFired = false;
    if (auto route = startTimerRoute()) {
        s.write(keys::RouteName, *route);
        s.write(keys::AutoStartRoute, true);
        timerFired = true;
    }
    if (timerFired || s.read(keys::AutoStartRoute) == 1) {
        if (auto name = s.read(keys::RouteName)) {
            if (name->size() > kRouteNameLimit)
                name->resize(kRouteNameLimit);
            loadRoute(*name);
        }
    }

    if (nightTimerActive())
        loadNightColours();
}

void Session::loadRoute(const std::string& name)
{
    startupRoute_ = name;
    routes_.load(name);
}

} // namespace varno::session
