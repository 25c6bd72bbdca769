// varno-cli live (placeholder until the subcommand lands).
#include "Cli.h"

namespace varno::cli {

int cmdLive(Context& ctx, const Args&)
{
    std::fprintf(ctx.err, "varno-cli: 'live' is not available yet\n");
    return kExitFailure;
}

} // namespace varno::cli
