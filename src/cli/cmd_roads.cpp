// varno-cli roads: the road map, built from an OpenStreetMap extract and looked into.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

#include <fmt/format.h>

#include "Cli.h"
#include "gps/Fix.h"
#include "gps/Presentation.h"
#include "roads/RoadMapBuilder.h"
#include "roads/RoadCache.h"
#include "roads/RoadMapFile.h"
#include "roads/RoadMatcher.h"

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

int roadsAt(Context& ctx, const Args& args)
{
    std::vector<std::string> rest;
    std::optional<double> course;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--course" && i + 1 < args.size()) {
            double deg = 0.0;
            if (!readNumber(args[++i], deg) || !(deg >= 0.0 && deg <= 360.0)) {
                std::fprintf(ctx.err, "varno-cli roads at: --course takes degrees 0 to 360, not '%s'\n",
                             args[i].c_str());
                return kExitUsage;
            }
            course = deg;
        } else {
            rest.push_back(args[i]);
        }
    }
    double lat = 0.0, lon = 0.0;
    if (rest.size() != 3 || !readNumber(rest[1], lat) || !readNumber(rest[2], lon) ||
        !geo::onEarth(lat, lon)) {
        std::fprintf(ctx.err, "usage: varno-cli roads at ROADMAP LAT LON [--course DEG]\n");
        return kExitUsage;
    }
    std::string error;
    const auto map = roads::RoadMapFile::open(rest[0], error);
    if (!map) {
        std::fprintf(ctx.err, "%s\n", error.c_str());
        return kExitFailure;
    }
    // A course is only trusted in motion: give the fix a speed with it.
    gps::Fix fix;
    fix.position = geo::LatLon(lat, lon);
    if (course) {
        fix.courseDeg = *course;
        fix.speedKnots = 30.0;
    }
    std::vector<roads::RoadWay> ways;
    map->waysIn(roads::boxAround(fix.position, roads::kMatchRangeM * 2.0), ways);
    if (const std::string why = map->lastError(); !why.empty()) {
        std::fprintf(ctx.err, "%s\n", why.c_str());
        return kExitFailure;
    }
    roads::RoadMatcher matcher;
    const auto& road = matcher.match(fix, true, ways);
    if (!road) {
        std::fprintf(ctx.out, "no road within %.0f m\n", roads::kMatchRangeM);
        return kExitOk;
    }
    const std::string limit = roads::limitInUnits(road->limitKph, gps::kSpeedUnitsKph);
    std::fprintf(ctx.out, "%s",
                 fmt::format("Way: {}\nName: {}\nRef: {}\nClass: {}\nLimit: {}{}\nDistance: {:.1f} m\n",
                             road->wayId, road->name, road->ref, roads::roadClassName(road->roadClass),
                             limit.empty() ? "unknown" : limit, road->limitKph > 0 ? " km/h" : "",
                             road->distanceM)
                     .c_str());
    if (!road->limitText.empty())
        std::fprintf(ctx.out, "Maxspeed: %s\n", road->limitText.c_str());
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
    {"at", roadsAt,
     "roads at ROADMAP LAT LON [--course DEG]   the road a fix there is on: name, ref, class, limit, "
     "distance"},
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
