// varno-cli: VARNO's features without a window, one subcommand each.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "Cli.h"
#include "CliPrompt.h"
#include "Paths.h"

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
    {"live", varno::cli::cmdLive, "live [--port NAME] [--log FILE]   read the GPS receiver"},
    {"replay", varno::cli::cmdReplay,
     "replay [--cameras FILE] [--route FILE] [--play] LOG   the camera warnings a log gives, one line per "
     "event"},
    {"route", varno::cli::cmdRoute,
     "route [--route FILE] [--view route|pointer|trail] LOG   the route guidance a log gives, one line per "
     "event"},
    {"poi", varno::cli::cmdPoi,
     "poi LOG   the POI list rebuilds a log gives in the POI view (line, count, nearest)"},
    {"trail", varno::cli::cmdTrail,
     "trail FILE.gpx   the trail a GPX file gives, one point a line, an empty line per pen-up"},
};

void usage(std::FILE* f)
{
    std::fprintf(f, "usage: varno-cli [--settings FILE] [--yes] SUBCOMMAND ...\n");
    for (const auto& s : kSubcommands)
        std::fprintf(f, "  varno-cli %s\n", s.synopsis);
}

} // namespace

int main(int argc, char** argv)
{
    // Numbers in files never follow the locale; messages may one day.
    std::setlocale(LC_ALL, "");

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
        else if (a == "--help" || a == "-h") {
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
    for (const auto& s : kSubcommands)
        if (name == s.name)
            return s.run(ctx, args);
    std::fprintf(stderr, "varno-cli: unknown subcommand '%s'\n", name.c_str());
    usage(stderr);
    return varno::cli::kExitUsage;
}
