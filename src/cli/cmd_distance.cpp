// varno-cli distance LAT1 LON1 LAT2 LON2: the distance tool's answer for two positions.
#include <cstdio>

#include "Cli.h"
#include "geo/PositionDistance.h"

namespace varno::cli {

int cmdDistance(Context& ctx, const Args& args)
{
    if (args.size() != 4) {
        std::fprintf(ctx.err, "usage: varno-cli distance LAT1 LON1 LAT2 LON2\n");
        return kExitUsage;
    }
    // Typed positions are read as the window's fields read them: no number at the start is 0.
    const std::string text = geo::positionDistanceText(args[0], args[1], args[2], args[3]);
    std::fprintf(ctx.out, "%s\n", text.c_str());
    return kExitOk;
}

} // namespace varno::cli
