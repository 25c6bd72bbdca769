// varno-cli poi: the POI list rebuilds a replayed log gives while the POI view is shown.
#include <cstdio>
#include <optional>
#include <string>

#include <fmt/core.h>

#include "Cli.h"
#include "RoadCommand.h"
#include "Paths.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraWarner.h"
#include "gps/CNmeaDecoder.h"
#include "poi/PoiList.h"
#include "settings/Settings.h"

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
    // What the stored "C:\VARNO" folder names (the POI folder is under it).
    std::string dataRoot = platform::dataRoot();
    const std::optional<LogArgs> got = parseLogArgs(ctx, args,
                                                    {{"--data-folder", true,
                                                      [&](const std::string& v) {
                                                          dataRoot = v;
                                                          return true;
                                                      }}},
                                                    usage);
    if (!got)
        return kExitUsage;

    // The POI view is shown all along.
    RoadCommand rig(ctx, got->settingsPath, session::MapView::Poi);
    settings::Settings& settings = rig.settings();
    cameras::SilentVoicePlayer silent;
    cameras::CameraWarner warner(settings, *ctx.prompt, silent, dataRoot);
    poi::PoiList list;
    list.noted = [&ctx](const std::string& note) { fmt::print(ctx.err, "{}\n", note); };
    const gps::CNmeaDecoder& fix = rig.fix();
    unsigned long rebuilds = 0;
    bool gpsStopped = false;

    // The periodic reload rebuilds the list, as the window's per-fix step does.
    warner.beforePeriodicReload = [&] {
        if (gpsStopped)
            return;
        const auto status =
            list.load(fix.fix().position, warner.scale.MapRadius, settings, *ctx.prompt, dataRoot);
        if (status == poi::PoiList::Status::NoFix)
            return;
        ++rebuilds;
        std::fprintf(ctx.out, "%d\t%zu\t%s\n", rig.linesRead(), list.points().size(),
                     nearestDescription(list, fix.fix().position).c_str());
        if (status == poi::PoiList::Status::Loaded)
            warner.store.CameraReloadCount = 0;
        // A failure stops the GPS in the window, which ends the replay's use here.
        gpsStopped = poi::PoiList::stopsGps(status);
    };

    rig.makeRoad(&warner);
    rig.replay(got->logPath, {}, {});

    std::fprintf(ctx.err, "poi: %d lines, %lu rebuilds, %llu file reads\n", rig.linesRead(), rebuilds,
                 static_cast<unsigned long long>(list.fileReads()));
    return gpsStopped ? kExitFailure : kExitOk;
}

} // namespace varno::cli
