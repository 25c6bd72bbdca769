// varno-cli route: a NMEA log through the route guidance of the route-following views, one line per event.
#include <cstdio>
#include <optional>
#include <string>

#include "Cli.h"
#include "Paths.h"
#include "Printable.h"
#include "RoadCommand.h"
#include "routes/RouteGuide.h"
#include "settings/Settings.h"
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
        std::fprintf(out_, "load\tmessage\t%s\n", printable(oneLine(text)).c_str());
        return inner_.show(text, buttons, icon, title);
    }

private:
    Prompt& inner_;
    std::FILE* out_;
};

} // namespace

int cmdRoute(Context& ctx, const Args& args)
{
    std::optional<std::string> routeFile;
    const std::optional<LogArgs> got =
        parseLogArgs(ctx, args,
                     {{"--route", true,
                       [&](const std::string& v) {
                           routeFile = v;
                           return true;
                       }},
                      // Every route-following view runs the same step on each repaint.
                      {"--view", true,
                       [](const std::string& v) { return v == "route" || v == "pointer" || v == "trail"; }}},
                     usage);
    if (!got)
        return kExitUsage;

    // The route view, in a window it fits: each repaint is a guidance step.
    RoadCommand rig(ctx, got->settingsPath, session::MapView::Route);
    settings::Settings& settings = rig.settings();
    LoadPrompt loadPrompt(*ctx.prompt, ctx.out);
    speech::RecordingSpeechAgent agent;
    routes::RouteGuide guide(settings, loadPrompt, agent, platform::dataRoot());
    guide.readLabelFlags();

    const TimeZone timeZone = settings.read(settings::keys::TimeZone);
    bool replaying = false;
    auto prefix = [&] { return rig.eventPrefix(timeZone); };
    unsigned long spoken = 0;
    agent.onSpeak = [&](const std::string& text) {
        ++spoken;
        if (replaying)
            std::fprintf(ctx.out, "%sspeak\t%s\n", prefix().c_str(), printable(oneLine(text)).c_str());
        else
            std::fprintf(ctx.out, "load\tspeak\t%s\n", printable(oneLine(text)).c_str());
    };

    if (routeFile ? !guide.load(*routeFile) : !guide.reloadCurrent())
        return kExitFailure;
    std::fprintf(ctx.out, "load\ttitle\t%s\n", printable(oneLine(guide.route().title())).c_str());
    for (const std::string& name : guide.route().excluded())
        std::fprintf(ctx.out, "load\texcluded\t%s\n", printable(name).c_str());
    std::fprintf(ctx.out, "load\tpoints\t%zu\n", guide.route().points().size());
    guide.enterRouteView();

    rig.makeRoad(nullptr, &guide);
    std::string nearest = guide.guidance().nearestText();
    std::string next = guide.guidance().nextText();
    unsigned long steps = 0;
    replaying = true;
    rig.replay(got->logPath,
               [&](const session::SentenceRoad::Intake&) {
                   ++steps;
                   if (guide.guidance().nearestText() != nearest) {
                       nearest = guide.guidance().nearestText();
                       std::fprintf(ctx.out, "%snearest\t%s\n", prefix().c_str(), printable(nearest).c_str());
                   }
                   if (guide.guidance().nextText() != next) {
                       next = guide.guidance().nextText();
                       std::fprintf(ctx.out, "%snext\t%s\n", prefix().c_str(), printable(next).c_str());
                   }
               },
               {});

    std::fprintf(ctx.err, "route: %d lines, %lu guidance steps, %lu spoken\n", rig.linesRead(), steps,
                 spoken);
    return kExitOk;
}

} // namespace varno::cli
