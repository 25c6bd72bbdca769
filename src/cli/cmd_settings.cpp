// varno-cli settings (placeholder until the subcommand lands).
#include "Cli.h"

namespace varno::cli {

int cmdSettings(Context& ctx, const Args&)
{
    std::fprintf(ctx.err, "varno-cli: 'settings' is not available yet\n");
    return kExitFailure;
}

} // namespace varno::cli
