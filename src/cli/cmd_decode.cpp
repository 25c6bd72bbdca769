// varno-cli decode (placeholder until the subcommand lands).
#include "Cli.h"

namespace varno::cli {

int cmdDecode(Context& ctx, const Args&)
{
    std::fprintf(ctx.err, "varno-cli: 'decode' is not available yet\n");
    return kExitFailure;
}

} // namespace varno::cli
