// varno-cli route: a NMEA log through the route guidance of the route-following views, one line per event.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include <fmt/printf.h>

#include "Cli.h"
#include "Paths.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/LogReplay.h"
#include "gps/Presentation.h"
#include "gps/SentenceMailbox.h"
#include "routes/RouteGuide.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "speech/SpeechAgent.h"

namespace varno::cli {
namespace {

void usage(std::FILE* f)
{
    std::fprintf(
        f, "usage: varno-cli route [--settings FILE] [--route FILE] [--view route|pointer|trail] LOG\n");
}

// Line ends inside a text shown as \n, so every event stays one line.
std::string oneLine(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out;
}

// The messages of a route load become load lines, and still reach the terminal.
class LoadPrompt final : public Prompt {
public:
    LoadPrompt(Prompt& inner, std::FILE* out) : inner_(inner), out_(out) {}
    PromptAnswer show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                      const std::string& title) override
    {
        std::fprintf(out_, "load\tmessage\t%s\n", oneLine(text).c_str());
        return inner_.show(text, buttons, icon, title);
    }

private:
    Prompt& inner_;
    std::FILE* out_;
};

} // namespace

int cmdRoute(Context& ctx, const Args& args)
{
    std::string settingsPath = ctx.settingsPath;
    std::optional<std::string> routeFile;
    std::string logPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--settings" && i + 1 < args.size())
            settingsPath = args[++i];
        else if (a == "--route" && i + 1 < args.size())
            routeFile = args[++i];
        else if (a == "--view" && i + 1 < args.size()) {
            // Every route-following view runs the same step on each repaint.
            const std::string& v = args[++i];
            if (v != "route" && v != "pointer" && v != "trail") {
                usage(ctx.err);
                return kExitUsage;
            }
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            usage(ctx.err);
            return kExitUsage;
        } else if (logPath.empty())
            logPath = a;
        else {
            usage(ctx.err);
            return kExitUsage;
        }
    }
    if (logPath.empty()) {
        usage(ctx.err);
        return kExitUsage;
    }
    if (!logReadable(ctx, logPath))
        return kExitUsage;

    settings::SettingsStore store(settingsPath);
    settings::Settings settings(store, *ctx.prompt);
    LoadPrompt loadPrompt(*ctx.prompt, ctx.out);
    speech::RecordingSpeechAgent agent;
    routes::RouteGuide guide(settings, loadPrompt, agent, platform::dataRoot());
    guide.readLabelFlags();

    gps::CNmeaDecoder fix;
    const int timeZone = settings.read(settings::keys::TimeZone);
    const gps::LogReplay* replay = nullptr;
    auto prefix = [&] {
        return fmt::sprintf("%d\t%d:%02d:%02d\t", replay ? replay->linesRead() : 0,
                            gps::localHour(fix.GgaHour, timeZone), fix.GgaMinute, fix.GgaSecond);
    };
    unsigned long spoken = 0;
    agent.onSpeak = [&](const std::string& text) {
        ++spoken;
        if (replay)
            std::fprintf(ctx.out, "%sspeak\t%s\n", prefix().c_str(), oneLine(text).c_str());
        else
            std::fprintf(ctx.out, "load\tspeak\t%s\n", oneLine(text).c_str());
    };

    if (routeFile)
        guide.load(*routeFile);
    else if (!guide.reloadCurrent())
        return kExitFailure;
    std::fprintf(ctx.out, "load\ttitle\t%s\n", oneLine(guide.route().title()).c_str());
    for (const std::string& name : guide.route().excluded())
        std::fprintf(ctx.out, "load\texcluded\t%s\n", name.c_str());
    std::fprintf(ctx.out, "load\tpoints\t%zu\n", guide.route().points().size());
    guide.enterRouteView();

    // The window's replay: each line handed over is one repaint of the view,
    // and so one guidance step.
    gps::SentenceMailbox mailbox;
    std::string nearest = guide.guidance().nearestText();
    std::string next = guide.guidance().nextText();
    unsigned long steps = 0;
    gps::LogReplay::Callbacks callbacks;
    callbacks.repaint = [&] {
        if (std::optional<std::string> s = mailbox.take())
            gps::intakeSentence(fix, *s);
        guide.step(fix.fix().position);
        ++steps;
        if (guide.guidance().nearestText() != nearest) {
            nearest = guide.guidance().nearestText();
            std::fprintf(ctx.out, "%snearest\t%s\n", prefix().c_str(), nearest.c_str());
        }
        if (guide.guidance().nextText() != next) {
            next = guide.guidance().nextText();
            std::fprintf(ctx.out, "%snext\t%s\n", prefix().c_str(), next.c_str());
        }
    };
    callbacks.runCameraLogic = [] {};
    callbacks.waitTick = [](std::chrono::milliseconds) {};
    gps::LogReplay logReplay(mailbox, *ctx.prompt, std::move(callbacks));
    replay = &logReplay;
    logReplay.start(logPath, 1, {.showNotice = false, .reportEnd = false});
    logReplay.join();

    std::fprintf(ctx.err, "route: %d lines, %lu guidance steps, %lu spoken\n", logReplay.linesRead(), steps,
                 spoken);
    return kExitOk;
}

} // namespace varno::cli
