// What the varno-cli commands that drive the sentence road share: their arguments, settings, fix, mailbox and
// road.
#include "RoadCommand.h"

#include <chrono>

#include <fmt/printf.h>

#include "cameras/CameraWarner.h"
#include "gps/Presentation.h"

namespace varno::cli {

std::optional<LogArgs> parseLogArgs(Context& ctx, const Args& args, const std::vector<LogOption>& options,
                                    void (*usage)(std::FILE*))
{
    LogArgs got{ctx.settingsPath, {}};
    auto refuse = [&] {
        usage(ctx.err);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--settings" && i + 1 < args.size()) {
            got.settingsPath = args[++i];
            continue;
        }
        const LogOption* option = nullptr;
        for (const LogOption& o : options)
            if (o.name == a && (!o.takesValue || i + 1 < args.size()))
                option = &o;
        if (option) {
            if (!option->take(option->takesValue ? args[++i] : std::string()))
                return refuse();
        } else if ((!a.empty() && a[0] == '-' && a != "-") || !got.logPath.empty())
            return refuse();
        else
            got.logPath = a;
    }
    if (got.logPath.empty())
        return refuse();
    // The replay would say so too, but the exit status must tell.
    if (!logReadable(ctx, got.logPath))
        return std::nullopt;
    return got;
}

RoadCommand::RoadCommand(Context& ctx, const std::string& settingsPath, session::MapView shown)
    : ctx_(ctx), store_(settingsPath), settings_(store_, *ctx.prompt)
{
    view_.switchTo(shown);
}

session::SentenceRoad& RoadCommand::makeRoad(cameras::CameraWarner* warner, routes::RouteGuide* routes)
{
    if (warner)
        warner->store.noted = [err = ctx_.err](const std::string& note) { fmt::print(err, "{}\n", note); };
    return road_.emplace(session::SentenceRoad::Parts{fix_, mailbox_, view_, modes_, warner, routes});
}

void RoadCommand::replay(const std::string& logPath,
                         std::function<void(const session::SentenceRoad::Intake&)> afterRepaint,
                         std::function<void()> afterNotify)
{
    session::SentenceRoad& road = *road_;
    gps::LogReplay::Callbacks callbacks;
    callbacks.repaint = [&road, after = std::move(afterRepaint)] {
        const auto painted = road.repaint({.draws = false});
        if (after)
            after(painted ? painted->intake : session::SentenceRoad::Intake{});
    };
    callbacks.runCameraLogic = [&road, after = std::move(afterNotify)] {
        road.notify();
        if (after)
            after();
    };
    callbacks.waitTick = [](std::chrono::milliseconds) {};
    callbacks.replayStarted = [&road] { road.replayStarted(); };
    callbacks.finished = [&road] { road.replayEnded(); };
    gps::LogReplay& r = replay_.emplace(mailbox_, *ctx_.prompt, std::move(callbacks));
    r.start(logPath, 1, {.showNotice = false, .reportEnd = false});
    r.join();
}

std::string RoadCommand::eventPrefix(const TimeZone& timeZone) const
{
    const TimeOfDay t = gps::localTimeOf(fix_.fix(), timeZone);
    return fmt::sprintf("%d\t%d:%02d:%02d\t", linesRead(), t.hour, t.minute, t.second);
}

} // namespace varno::cli
