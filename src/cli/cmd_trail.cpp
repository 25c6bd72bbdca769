// varno-cli trail: the trail a GPX file gives, one point a line, an empty line per pen-up.
#include <cstdio>
#include <string>

#include <fmt/format.h>

#include "Cli.h"
#include "views/Trail.h"

namespace varno::cli {

int cmdTrail(Context& ctx, const Args& args)
{
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        std::fprintf(ctx.err, "usage: varno-cli trail FILE.gpx\n");
        return kExitUsage;
    }
    const views::TrailLoad load = views::loadTrail(args[0]);
    fmt::memory_buffer out;
    bool first = true;
    for (const auto& segment : load.trail.segments) {
        if (!first)
            out.push_back('\n');
        first = false;
        for (const geo::LatLon& p : segment)
            fmt::format_to(std::back_inserter(out), "{:.6f},{:.6f}\n", p.latDeg(), p.lonDeg());
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), ctx.out);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), ctx.out);
    if (load.error) {
        std::fprintf(ctx.err, "%s\n", load.error->text().c_str());
        return load.error->line == 0 ? kExitUsage : kExitFailure;
    }
    std::fprintf(ctx.err, "trail: %zu points in %zu segments\n", load.trail.pointCount(),
                 load.trail.segments.size());
    return kExitOk;
}

} // namespace varno::cli
