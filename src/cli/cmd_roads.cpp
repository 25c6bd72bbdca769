// varno-cli roads: the road map, built from an OpenStreetMap extract and looked into.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <fmt/format.h>

#include "Cli.h"
#include "roads/RoadMapBuilder.h"
#include "roads/RoadMapFile.h"

#ifndef VARNO_VERSION
#define VARNO_VERSION "unknown"
#endif

namespace varno::cli {
namespace {

int roadsBuild(Context& ctx, const Args& args)
{
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a.starts_with("-") && a != "-") {
            std::fprintf(ctx.err, "varno-cli roads build: unknown option '%s'\n", a.c_str());
            return kExitUsage;
        }
        files.push_back(a);
    }
    if (files.size() != 2) {
        std::fprintf(ctx.err, "usage: varno-cli roads build EXTRACT.osm.pbf|.osm|.osm.gz|.osm.bz2 ROADMAP\n");
        return kExitUsage;
    }
    const std::string& source = files[0];
    const std::string& destination = files[1];
    std::error_code ec;
    if (std::filesystem::is_regular_file(destination, ec) &&
        ctx.prompt->show("The road map file already exists.\n\nDo you want to overwrite it ?",
                         PromptButtons::YesNo) != PromptAnswer::Yes) {
        std::fprintf(ctx.err, "The road map file was left as it was: %s\n", destination.c_str());
        return kExitFailure;
    }

    roads::RoadMapBuildOptions options;
    options.buildVersion = VARNO_VERSION;
    const bool terminal = isatty(fileno(ctx.err)) != 0;
    int shown = -1;
    if (terminal)
        options.progress = [&](double fraction) {
            const int percent = static_cast<int>(fraction * 100.0);
            if (percent != shown) {
                shown = percent;
                std::fprintf(ctx.err, "\rRoad map: %3d%%", percent);
                std::fflush(ctx.err);
            }
            return true;
        };
    const Report report = roads::buildRoadMap(source, destination, options);
    if (terminal)
        std::fprintf(ctx.err, "\r\033[K");
    if (!report.notes.empty())
        std::fprintf(ctx.err, "%s\n", report.notes.c_str());
    std::fprintf(report.ok() ? ctx.out : ctx.err, "%s\n", report.message.c_str());
    return report.ok() ? kExitOk : kExitFailure;
}

int roadsInfo(Context& ctx, const Args& args)
{
    if (args.size() != 1) {
        std::fprintf(ctx.err, "usage: varno-cli roads info ROADMAP\n");
        return kExitUsage;
    }
    std::string error;
    const auto map = roads::RoadMapFile::open(args[0], error);
    if (!map) {
        std::fprintf(ctx.err, "%s\n", error.c_str());
        return kExitFailure;
    }
    const roads::RoadMapInfo& i = map->info();
    std::fprintf(ctx.out, "%s",
                 fmt::format("File: {}\n"
                             "Size: {} bytes ({:.1f} MiB)\n"
                             "Format: {}\n"
                             "Ways: {} (named {}, with a speed limit {}, left out {})\n"
                             "Points: {}\n"
                             "Bounds: {:.7f},{:.7f},{:.7f},{:.7f} (south,west,north,east)\n"
                             "Source: {} ({} bytes, modified {})\n"
                             "Built: {} by version {}\n",
                             i.path, i.fileBytes, static_cast<double>(i.fileBytes) / 1048576.0, i.format,
                             i.ways, i.namedWays, i.limitedWays, i.skippedWays, i.points, i.bounds.south,
                             i.bounds.west, i.bounds.north, i.bounds.east, i.source, i.sourceBytes,
                             i.sourceTime, i.built, i.buildVersion)
                     .c_str());
    return kExitOk;
}

// The roads subcommands; a new one is a line here and its function above.
struct RoadsCommand {
    const char* name;
    int (*run)(Context&, const Args&);
    const char* synopsis;
};
constexpr RoadsCommand kRoadsCommands[] = {
    {"build", roadsBuild,
     "roads build EXTRACT ROADMAP   build a road map from an .osm, .osm.gz, .osm.bz2 or .osm.pbf"},
    {"info", roadsInfo, "roads info ROADMAP   a road map's ways, bounds, size and source"},
};

void roadsUsage(std::FILE* f)
{
    for (const RoadsCommand& c : kRoadsCommands)
        std::fprintf(f, "usage: varno-cli %s\n", c.synopsis);
}

} // namespace

int cmdRoads(Context& ctx, const Args& args)
{
    if (!args.empty())
        for (const RoadsCommand& c : kRoadsCommands)
            if (args[0] == c.name)
                return c.run(ctx, Args(args.begin() + 1, args.end()));
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        roadsUsage(ctx.out);
        return kExitOk;
    }
    if (!args.empty())
        std::fprintf(ctx.err, "varno-cli roads: unknown command '%s'\n", args[0].c_str());
    roadsUsage(ctx.err);
    return kExitUsage;
}

} // namespace varno::cli
