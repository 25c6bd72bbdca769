// varno-cli: VARNO's features without a window, one subcommand each.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#ifndef VARNO_VERSION
#define VARNO_VERSION "unknown"
#endif

#include "Cli.h"
#include "CliPrompt.h"
#include "Paths.h"
#include "PosixInputFile.h"
#include "TempCleanup.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(varno::cli::Context&, const varno::cli::Args&);
    const char* synopsis;
};

constexpr Subcommand kSubcommands[] = {
    {"settings", varno::cli::cmdSettings,
     "settings list | get NAME | set NAME VALUE [--dword|--sz] | check-registry"},
    {"decode", varno::cli::cmdDecode, "decode FILE|-   decode the position sentences of an NMEA log"},
    {"live", varno::cli::cmdLive,
     "live [--port NAME | --source NAME] [--reconnect] [--log FILE]   read the GPS receiver, gpsd or a "
     "TCP stream"},
    {"replay", varno::cli::cmdReplay,
     "replay [--cameras FILE] [--route FILE] [--aids LIST] [--play] LOG   the camera warnings a log "
     "gives, one line per event"},
    {"route", varno::cli::cmdRoute,
     "route [--route FILE] [--view route|pointer|trail] LOG   the route guidance a log gives, one line per "
     "event"},
    {"convert", varno::cli::cmdConvert,
     "convert KIND SRC DST [options]   the converters of the Convert menu"},
    {"passed", varno::cli::cmdPassed,
     "passed --cameras FILE [--nearest M] [--farthest M] [--copy [--distances]] LOG   the cameras a logged "
     "drive "
     "passed"},
    {"distance", varno::cli::cmdDistance, "distance LAT1 LON1 LAT2 LON2   the flat-earth distance in km"},
    {"poi", varno::cli::cmdPoi,
     "poi [--data-folder DIR] LOG   the POI list rebuilds a log gives in the POI view (line, count, "
     "nearest)"},
    {"trail", varno::cli::cmdTrail,
     "trail FILE.gpx   the trail a GPX file gives, one point a line, an empty line per pen-up"},
    {"tracks", varno::cli::cmdTracks,
     "tracks info MAPFILE | render MAPFILE [--osm FILE] [--josm FILE] [--srtm FILE] --png OUT [--size WxH] "
     "[--zoom N] [--centre LAT,LON] [--show names,ref,icons,nodes]   "
     "a track editor map file: its tracks, or the editor's picture of it"},
    {"roads", varno::cli::cmdRoads,
     "roads build EXTRACT ROADMAP | info ROADMAP   the road map: built from an OpenStreetMap extract "
     "(.osm, .osm.gz, .osm.bz2, .osm.pbf), or its ways, bounds, size and source"},
};

void usage(std::FILE* f)
{
    std::fprintf(f, "usage: varno-cli [--settings FILE] [--yes] SUBCOMMAND ...\n"
                    "       varno-cli --version\n");
    for (const auto& s : kSubcommands)
        std::fprintf(f, "  varno-cli %s\n", s.synopsis);
}

} // namespace

int main(int argc, char** argv)
{
    // Numbers in files never follow the locale; messages may one day.
    std::setlocale(LC_ALL, "");
    varno::platform::installNonBlockingReadOpener();
    // A conversion stopped with Ctrl-C leaves no half-written temporary behind.
    varno::platform::installTemporaryCleanup();

    varno::cli::Context ctx;
    ctx.settingsPath = varno::platform::defaultSettingsPath();
    bool yes = false;
    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--settings" && i + 1 < argc)
            ctx.settingsPath = argv[++i];
        else if (a.rfind("--settings=", 0) == 0)
            ctx.settingsPath = a.substr(11);
        else if (a == "--yes" || a == "-y")
            yes = true;
        else if (a == "--version") {
            std::printf("varno-cli %s\n", VARNO_VERSION);
            return 0;
        } else if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else
            break;
    }
    if (i >= argc) {
        usage(stderr);
        return varno::cli::kExitUsage;
    }
    varno::cli::CliPrompt prompt(yes, stderr);
    ctx.prompt = &prompt;
    const std::string name = argv[i++];
    varno::cli::Args args(argv + i, argv + argc);
    for (const auto& s : kSubcommands) {
        if (name != s.name)
            continue;
        // "varno-cli decode --help" gives the subcommand's line; convert
        // and roads list their kinds themselves.
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h") && name != "convert" &&
            name != "roads") {
            std::printf("usage: varno-cli %s\n", s.synopsis);
            return 0;
        }
        return s.run(ctx, args);
    }
    std::fprintf(stderr, "varno-cli: unknown subcommand '%s'\n", name.c_str());
    usage(stderr);
    return varno::cli::kExitUsage;
}
