// varno-cli replay: a NMEA log through the decoder and the camera warner, one line per event.
#include <cstdio>
#include <memory>
#include <string>

#include <fmt/printf.h>

#include "Cli.h"
#include "Paths.h"
#include "VoiceFolder.h"
#include "VoicePlayback.h"
#include "base/LineReader.h"
#include "cameras/CameraWarner.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/Presentation.h"
#include "gps/SentenceMailbox.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "base/InputFile.h"

namespace varno::cli {
namespace {

// The replay reads at most 298 characters of a line at a time.
constexpr std::size_t kReplayLineLimit = 299;

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
    std::fprintf(f, "usage: varno-cli replay [--settings FILE] [--cameras FILE] [--play] LOG\n");
}

} // namespace

int cmdReplay(Context& ctx, const Args& args)
{
    std::string settingsPath = ctx.settingsPath;
    std::optional<std::string> cameraFile;
    std::string logPath;
    bool play = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--settings" && i + 1 < args.size())
            settingsPath = args[++i];
        else if (a == "--cameras" && i + 1 < args.size())
            cameraFile = args[++i];
        else if (a == "--play")
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

    const FileHandle log = openForReading(logPath);
    if (!log) {
        ctx.prompt->message("Error can't open the log file\n" + logPath);
        return kExitUsage;
    }

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
    const int timeZone = settings.read(settings::keys::TimeZone);

    gps::CNmeaDecoder fix;
    gps::SentenceMailbox mailbox;
    unsigned long lineNo = 0;
    auto prefix = [&] {
        return fmt::sprintf("%lu\t%d:%02d:%02d\t", lineNo, gps::localHour(fix.GgaHour, timeZone),
                            fix.GgaMinute, fix.GgaSecond);
    };
    unsigned long voices = 0;
    warner.voice.onRequest = [&](std::string_view file) {
        ++voices;
        std::fprintf(ctx.out, "%svoice\t%.*s\n", prefix().c_str(), static_cast<int>(file.size()),
                     file.data());
    };

    warner.replayStarted();
    std::string cameraLine = warner.panel.camera;
    std::string specsLine = warner.specs.line;
    unsigned long sent = 0, decoded = 0;
    LineReader reader(log.get());
    std::string line;
    while (reader.next(line, kReplayLineLimit)) {
        ++lineNo;
        if (line.size() >= 3)
            for (int k = 0; k < 2 && !line.empty() && (line.back() == '\r' || line.back() == '\n'); ++k)
                line.pop_back();
        if (line.size() <= 2)
            continue;
        mailbox.replace(line);
        ++sent;
        if (std::optional<std::string> s = mailbox.take())
            if (gps::intakeSentence(fix, *s))
                ++decoded;
        warner.UpdateCameraWarnings(fix);
        if (warner.panel.camera != cameraLine) {
            cameraLine = warner.panel.camera;
            std::fprintf(ctx.out, "%scamera\t%s\n", prefix().c_str(), cameraLine.c_str());
        }
        if (warner.specs.line != specsLine) {
            specsLine = warner.specs.line;
            std::fprintf(ctx.out, "%sspecs\t%s\n", prefix().c_str(), specsLine.c_str());
        }
    }
    std::fprintf(ctx.err, "replay: %lu lines, %lu sentences handed over, %lu decoded, %lu voice requests\n",
                 lineNo, sent, decoded, voices);
    return kExitOk;
}

} // namespace varno::cli
