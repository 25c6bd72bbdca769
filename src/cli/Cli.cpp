// What the subcommands share.
#include "Cli.h"

#include "base/InputFile.h"

namespace varno::cli {

bool logReadable(Context& ctx, const std::string& logPath)
{
    std::string refusal;
    if (openTextForReading(logPath, &refusal))
        return true;
    ctx.prompt->message("Error can't open the log file\n" + nameWithRefusal(logPath, refusal));
    return false;
}

} // namespace varno::cli
