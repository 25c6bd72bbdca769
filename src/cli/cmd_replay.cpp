// varno-cli replay: a NMEA log through the decoder and the camera warner, one line per event.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <fmt/printf.h>

#include "Cli.h"
#include "Paths.h"
#include "VoiceFolder.h"
#include "VoicePlayback.h"
#include "cameras/CameraWarner.h"
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

// Records what was asked to play, and plays it too with --play.
class ReplayPlayer final : public cameras::VoicePlayer {
public:
    cameras::VoicePlayer* sound = nullptr;
    void play(const std::string& path) override
    {
        if (sound)
            sound->play(path);
    }
};

void usage(std::FILE* f)
{
    std::fprintf(f, "usage: varno-cli replay [--settings FILE] [--cameras FILE] [--route FILE] [--aids LIST] "
                    "[--play] LOG\n"
                    "  LIST: direction,chime,coach (any of them), all or none\n");
}

} // namespace

int cmdReplay(Context& ctx, const Args& args)
{
    std::string settingsPath = ctx.settingsPath;
    std::optional<std::string> cameraFile;
    std::optional<std::string> routeFile;
    std::string logPath;
    bool play = false;
    std::optional<cameras::AidSwitches> aids;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--settings" && i + 1 < args.size())
            settingsPath = args[++i];
        else if (a == "--cameras" && i + 1 < args.size())
            cameraFile = args[++i];
        else if (a == "--route" && i + 1 < args.size())
            routeFile = args[++i];
        else if (a == "--aids" && i + 1 < args.size()) {
            aids = cameras::parseAidList(args[++i]);
            if (!aids) {
                std::fprintf(ctx.err, "varno-cli replay: unknown driver aid in '%s'\n", args[i].c_str());
                usage(ctx.err);
                return kExitUsage;
            }
        } else if (a == "--play")
            play = true;
        else if (!a.empty() && a[0] == '-' && a != "-") {
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

    // The replay would say so too, but the exit status must tell.
    if (!logReadable(ctx, logPath))
        return kExitUsage;

    settings::SettingsStore store(settingsPath);
    settings::Settings settings(store, *ctx.prompt);
    ReplayPlayer player;
    std::unique_ptr<cameras::VoicePlayer> sound;
    if (play) {
        platform::installDefaultVoices(settings); // first start: an empty voice folder gets ours
        sound = platform::makeVoicePlayer();
        player.sound = sound.get();
    }
    cameras::CameraWarner warner(settings, *ctx.prompt, player, platform::dataRoot());
    warner.store.cameraFileOverride = cameraFile;
    if (aids)
        warner.aids.on = *aids;
    // The route the window would have loaded at start-up, or the one given:
    // its exclusion lines silence their cameras.
    speech::RecordingSpeechAgent quietAgent;
    routes::RouteGuide route(settings, *ctx.prompt, quietAgent, platform::dataRoot());
    if (routeFile)
        route.load(*routeFile);
    else if (settings.read(settings::keys::AutoStartRoute) == 1)
        route.reloadCurrent();
    warner.store.excludedByRoute = [&route](std::string_view line) { return route.excludes(line); };
    const int timeZone = settings.read(settings::keys::TimeZone);

    gps::CNmeaDecoder fix;
    gps::SentenceMailbox mailbox;
    const gps::LogReplay* replay = nullptr;
    auto prefix = [&] {
        return fmt::sprintf("%d\t%d:%02d:%02d\t", replay->linesRead(), gps::localHour(fix.GgaHour, timeZone),
                            fix.GgaMinute, fix.GgaSecond);
    };
    unsigned long voices = 0;
    warner.voice.onRequest = [&](std::string_view file) {
        ++voices;
        std::fprintf(ctx.out, "%svoice\t%.*s\n", prefix().c_str(), static_cast<int>(file.size()),
                     file.data());
    };

    // The window's replay, with no UI thread to reach and no pace to keep:
    // everything runs on the replay's own thread while this one waits.
    std::string cameraLine = warner.panel.camera;
    std::string specsLine = warner.specs.line;
    std::string coachLine;
    bool overLimit = false;
    warner.onSilenced = [&](const cameras::CameraPoint& camera, double band) {
        std::fprintf(ctx.out, "%said\tsilenced %.0f m\t%s\n", prefix().c_str(), band, camera.CamType.c_str());
    };
    unsigned long decoded = 0;
    gps::LogReplay::Callbacks callbacks;
    callbacks.repaint = [&] {
        if (std::optional<std::string> s = mailbox.take())
            if (gps::intakeSentence(fix, *s))
                ++decoded;
    };
    callbacks.runCameraLogic = [&] {
        warner.UpdateCameraWarnings(fix.fix());
        if (warner.panel.camera != cameraLine) {
            cameraLine = warner.panel.camera;
            std::fprintf(ctx.out, "%scamera\t%s\n", prefix().c_str(), cameraLine.c_str());
        }
        if (warner.specs.line != specsLine) {
            specsLine = warner.specs.line;
            std::fprintf(ctx.out, "%sspecs\t%s\n", prefix().c_str(), specsLine.c_str());
        }
        if (warner.aids.overLimit != overLimit) {
            overLimit = warner.aids.overLimit;
            std::fprintf(ctx.out, "%said\t%s\n", prefix().c_str(), overLimit ? "over limit" : "within limit");
        }
        if (warner.aids.coachLine != coachLine) {
            coachLine = warner.aids.coachLine;
            std::fprintf(ctx.out, "%scoach\t%s\n", prefix().c_str(), coachLine.c_str());
        }
    };
    callbacks.waitTick = [](std::chrono::milliseconds) {};
    callbacks.replayStarted = [&] { warner.replayStarted(); };
    callbacks.finished = [&] { warner.replayEnded(); };
    gps::LogReplay logReplay(mailbox, *ctx.prompt, std::move(callbacks));
    replay = &logReplay;
    logReplay.start(logPath, 1, {.showNotice = false, .reportEnd = false});
    logReplay.join();

    std::fprintf(ctx.err, "replay: %d lines, %d sentences handed over, %lu decoded, %lu voice requests\n",
                 logReplay.linesRead(), logReplay.linesSent(), decoded, voices);
    return kExitOk;
}

} // namespace varno::cli
