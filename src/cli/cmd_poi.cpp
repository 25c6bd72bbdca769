// varno-cli poi: the POI list rebuilds a replayed log gives while the POI view is shown.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "Cli.h"
#include "Paths.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraWarner.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/LogReplay.h"
#include "gps/SentenceMailbox.h"
#include "poi/PoiList.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace varno::cli {
namespace {

void usage(std::FILE* f)
{
    std::fprintf(f, "usage: varno-cli poi [--settings FILE] [--data-folder DIR] LOG\n");
}

// The description of the POI nearest the fix, empty when none.
std::string nearestDescription(const poi::PoiList& list, geo::LatLon fix)
{
    const poi::PoiPoint* best = nullptr;
    double bestD = 0.0;
    for (const poi::PoiPoint& p : list.points()) {
        const double d = cameras::CameraDistance(p.position, fix);
        if (d != cameras::kNoDistance && (!best || d < bestD)) {
            best = &p;
            bestD = d;
        }
    }
    return best ? best->description : std::string();
}

} // namespace

int cmdPoi(Context& ctx, const Args& args)
{
    std::string settingsPath = ctx.settingsPath;
    std::string logPath;
    // What the stored "C:\VARNO" folder names (the POI folder is under it).
    std::string dataRoot = platform::dataRoot();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--settings" && i + 1 < args.size())
            settingsPath = args[++i];
        else if (a == "--data-folder" && i + 1 < args.size())
            dataRoot = args[++i];
        else if ((!a.empty() && a[0] == '-' && a != "-") || !logPath.empty()) {
            usage(ctx.err);
            return kExitUsage;
        } else
            logPath = a;
    }
    if (logPath.empty()) {
        usage(ctx.err);
        return kExitUsage;
    }
    if (!logReadable(ctx, logPath))
        return kExitUsage;

    settings::SettingsStore store(settingsPath);
    settings::Settings settings(store, *ctx.prompt);
    cameras::SilentVoicePlayer silent;
    cameras::CameraWarner warner(settings, *ctx.prompt, silent, dataRoot);
    poi::PoiList list;
    gps::CNmeaDecoder fix;
    gps::SentenceMailbox mailbox;
    const gps::LogReplay* replay = nullptr;
    unsigned long rebuilds = 0;
    bool gpsStopped = false;

    // The POI view is shown all along: the periodic reload rebuilds the list,
    // as the window's per-fix step does.
    warner.beforePeriodicReload = [&] {
        if (gpsStopped)
            return;
        const auto status =
            list.load(fix.fix().position, warner.scale.MapRadius, settings, *ctx.prompt, dataRoot);
        if (status == poi::PoiList::Status::NoFix)
            return;
        ++rebuilds;
        std::fprintf(ctx.out, "%d\t%zu\t%s\n", replay->linesRead(), list.points().size(),
                     nearestDescription(list, fix.fix().position).c_str());
        if (status == poi::PoiList::Status::Loaded)
            warner.store.CameraReloadCount = 0;
        // A failure stops the GPS in the window, which ends the replay's use here.
        gpsStopped = poi::PoiList::stopsGps(status);
    };

    gps::LogReplay::Callbacks callbacks;
    callbacks.repaint = [&] {
        if (std::optional<std::string> s = mailbox.take())
            gps::intakeSentence(fix, *s);
    };
    callbacks.runCameraLogic = [&] { warner.UpdateCameraWarnings(fix.fix()); };
    callbacks.waitTick = [](std::chrono::milliseconds) {};
    callbacks.replayStarted = [&] { warner.replayStarted(); };
    callbacks.finished = [&] { warner.replayEnded(); };
    gps::LogReplay logReplay(mailbox, *ctx.prompt, std::move(callbacks));
    replay = &logReplay;
    logReplay.start(logPath, 1, {.showNotice = false, .reportEnd = false});
    logReplay.join();

    std::fprintf(ctx.err, "poi: %d lines, %lu rebuilds, %llu file reads\n", logReplay.linesRead(), rebuilds,
                 static_cast<unsigned long long>(list.fileReads()));
    return gpsStopped ? kExitFailure : kExitOk;
}

} // namespace varno::cli
