// What the subcommands share.
#include "Cli.h"

#include <charconv>
#include <system_error>

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

bool readNumber(const std::string& text, double& out)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return false;
    out = value;
    return true;
}

} // namespace varno::cli
