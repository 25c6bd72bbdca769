// varno-cli live: read the GPS receiver and print each handed-over sentence with the fix after it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Cli.h"
#include "DecodeLine.h"
#include "RoadCommand.h"
#include "SourcePort.h"
#include "gps/GpsControl.h"
#include "gps/NmeaLog.h"

namespace varno::cli {
namespace {

// Exit code when the receiver went away while being read.
constexpr int kExitDeviceGone = 3;

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int)
{
    gInterrupted = 1;
}

// Routes SIGINT and SIGTERM to the flag while the command runs.
class InterruptGuard {
public:
    InterruptGuard()
    {
        gInterrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = onInterrupt;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &oldInt_);
        sigaction(SIGTERM, &sa, &oldTerm_);
    }
    ~InterruptGuard()
    {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// What the reader thread tells the printing loop.
struct Events {
    std::mutex mutex;
    std::condition_variable cv;
    bool sentence = false;
    std::optional<std::string> gone;
    std::optional<std::string> logFailed;
    std::vector<std::string> status; // waiting for the device, resumed
};

int usageError(Context& ctx, const std::string& what)
{
    std::fprintf(ctx.err,
                 "varno-cli live: %s\nusage: varno-cli live [--port NAME | --source NAME] [--reconnect] "
                 "[--log FILE]\n  NAME: a serial device, gpsd://host[:port] or tcp://host:port\n",
                 what.c_str());
    return kExitUsage;
}

} // namespace

int cmdLive(Context& ctx, const Args& args)
{
    std::optional<std::string> portOverride, logPath;
    std::optional<bool> reconnect;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--port" || a == "--source" || a == "--log") && i + 1 < args.size())
            (a == "--log" ? logPath : portOverride) = args[++i];
        else if (a.rfind("--port=", 0) == 0)
            portOverride = a.substr(7);
        else if (a.rfind("--source=", 0) == 0)
            portOverride = a.substr(9);
        else if (a == "--reconnect")
            reconnect = true;
        else if (a.rfind("--log=", 0) == 0)
            logPath = a.substr(6);
        else
            return usageError(ctx, "unexpected argument '" + a + "'");
    }

    // The receiver's sentences take the road to the fix; there is no warner to run.
    RoadCommand rig(ctx, ctx.settingsPath);
    session::SentenceRoad& road = rig.makeRoad(nullptr);
    gps::NmeaLog log;
    if (logPath && !log.open(*logPath)) {
        ctx.prompt->message("Error can't open the NMEA data file\n" + *logPath);
        return kExitUsage;
    }

    InterruptGuard interrupts;
    platform::SourcePort port;
    gps::GpsControl::Hooks hooks;
    // The waits of the open, cut short by Ctrl-C.
    hooks.sleep = [](std::chrono::milliseconds ms) {
        const auto end = std::chrono::steady_clock::now() + ms;
        while (!gInterrupted && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    hooks.opening = [&ctx](bool busy, const std::string& name) {
        if (busy)
            std::fprintf(ctx.err, "Opening %s...\n", name.c_str());
    };
    gps::GpsControl gps(port, road.mailbox(), log, *ctx.prompt, rig.settings(), std::move(hooks));
    // A port given on the command line works without a settings file.
    gps.portOverride = portOverride;
    gps.reconnectOverride = reconnect;

    if (!gps.OpenCommPort())
        return kExitUsage;
    if (gInterrupted)
        return kExitOk;

    Events events;
    gps.setReaderCallbacks({[&events] {
                                std::lock_guard lock(events.mutex);
                                events.sentence = true;
                                events.cv.notify_one();
                            },
                            [&events](const std::string& message) {
                                std::lock_guard lock(events.mutex);
                                events.gone = message;
                                events.cv.notify_one();
                            },
                            [&events](const std::string& message) {
                                std::lock_guard lock(events.mutex);
                                events.logFailed = message;
                                events.cv.notify_one();
                            },
                            [&events](const std::string& message) {
                                std::lock_guard lock(events.mutex);
                                events.status.push_back(message);
                                events.cv.notify_one();
                            },
                            [&events](const std::string& message) {
                                std::lock_guard lock(events.mutex);
                                events.status.push_back(message);
                                events.cv.notify_one();
                            }});
    // The Reconnect setting applies unless the command line asked for it.
    if (!gps.startReader()) {
        ctx.prompt->message("Comms port is not open");
        return kExitUsage;
    }

    unsigned long count = 0;
    int result = kExitOk;
    while (!gInterrupted) {
        std::optional<std::string> gone, logFailed;
        std::vector<std::string> status;
        bool notified = false;
        {
            std::unique_lock lock(events.mutex);
            // Signals cannot notify a condition variable, so look at the flag
            // a few times a second.
            events.cv.wait_for(lock, std::chrono::milliseconds(200), [&] {
                return events.sentence || events.gone.has_value() || !events.status.empty();
            });
            notified = std::exchange(events.sentence, false);
            gone = events.gone;
            logFailed = std::exchange(events.logFailed, std::nullopt);
            status = std::exchange(events.status, {});
        }
        for (const std::string& text : status)
            std::fprintf(ctx.err, "%s\n", text.c_str());
        if (logFailed)
            ctx.prompt->message(*logFailed);
        if (notified)
            road.notify();
        if (const auto painted = road.repaint({.draws = false}); painted && painted->intake.taken) {
            const session::SentenceRoad::Intake& in = painted->intake;
            std::fprintf(ctx.out, "%s\n",
                         formatDecodeLine(++count, in.sentence, in.checksumOk, rig.fix()).c_str());
            std::fflush(ctx.out);
        }
        if (gone) {
            ctx.prompt->message(*gone);
            result = kExitDeviceGone;
            break;
        }
    }
    gps.StopGps();
    log.close();
    return result;
}

} // namespace varno::cli
