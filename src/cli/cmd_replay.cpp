// varno-cli replay: a NMEA log through the decoder and the camera warner, one line per event.
#include <cstdio>
#include <memory>
#include <string>

#include "Cli.h"
#include "Paths.h"
#include "RoadCommand.h"
#include "VoiceFolder.h"
#include "VoicePlayback.h"
#include "base/InputFile.h"
#include "cameras/CameraFile.h"
#include "cameras/CameraWarner.h"
#include "roads/RoadFollower.h"
#include "routes/RouteGuide.h"
#include "settings/Settings.h"
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
                    "[--roads ROADMAP] [--play] LOG\n"
                    "  LIST: direction,chime,coach (any of them), all or none\n"
                    "  ROADMAP: a road map (varno-cli roads build); a road event each time the road or its "
                    "limit changes\n");
}

} // namespace

int cmdReplay(Context& ctx, const Args& args)
{
    std::optional<std::string> cameraFile;
    std::optional<std::string> routeFile;
    std::optional<std::string> roadMapFile;
    bool play = false;
    std::optional<cameras::AidSwitches> aids;
    const std::optional<LogArgs> got = parseLogArgs(
        ctx, args,
        {{"--cameras", true,
          [&](const std::string& v) {
              cameraFile = v;
              return true;
          }},
         {"--route", true,
          [&](const std::string& v) {
              routeFile = v;
              return true;
          }},
         {"--aids", true,
          [&](const std::string& v) {
              aids = cameras::parseAidList(v);
              if (!aids)
                  std::fprintf(ctx.err, "varno-cli replay: unknown driver aid in '%s'\n", v.c_str());
              return aids.has_value();
          }},
         {"--roads", true,
          [&](const std::string& v) {
              roadMapFile = v;
              return true;
          }},
         {"--play", false, [&](const std::string&) { return play = true; }}},
        usage);
    if (!got)
        return kExitUsage;

    RoadCommand rig(ctx, got->settingsPath);
    settings::Settings& settings = rig.settings();
    ReplayPlayer player;
    std::unique_ptr<cameras::VoicePlayer> sound;
    if (play) {
        platform::installDefaultVoices(settings); // first start: an empty voice folder gets ours
        sound = platform::makeVoicePlayer();
        player.sound = sound.get();
    }
    // A camera file given that cannot be read fails the run: the store would
    // say so at its first load, but the replay would go on warning of nothing.
    if (std::string refusal; cameraFile && !openTextForReading(*cameraFile, &refusal)) {
        ctx.prompt->message(cameras::cantOpenCameraFile(*cameraFile, refusal));
        return kExitFailure;
    }
    // A road map given that cannot be opened fails the run, naming the file.
    std::unique_ptr<roads::RoadFollower> roadMap;
    if (roadMapFile) {
        roads::OpenedRoadMap opened = roads::openRoadMap(*roadMapFile);
        if (!opened.source) {
            std::fprintf(ctx.err, "%s\n", opened.error.c_str());
            return kExitFailure;
        }
        roadMap = std::make_unique<roads::RoadFollower>(std::move(opened.source));
    }
    cameras::CameraWarner warner(settings, *ctx.prompt, player, platform::dataRoot());
    warner.store.cameraFileOverride = cameraFile;
    if (aids)
        warner.aids.on = *aids;
    // The route the window would have loaded at start-up, or the one given:
    // its exclusion lines silence their cameras.
    speech::RecordingSpeechAgent quietAgent;
    routes::RouteGuide route(settings, *ctx.prompt, quietAgent, platform::dataRoot());
    if (routeFile) {
        if (!route.load(*routeFile))
            return kExitFailure;
    } else if (settings.read(settings::keys::AutoStartRoute) == 1)
        route.reloadCurrent();
    warner.store.excludedByRoute = [&route](std::string_view line) { return route.excludes(line); };
    const TimeZone timeZone = settings.read(settings::keys::TimeZone);
    rig.makeRoad(&warner).setRoadMap(roadMap.get());

    auto prefix = [&] { return rig.eventPrefix(timeZone); };
    unsigned long voices = 0;
    warner.voice.onRequest = [&](std::string_view file) {
        ++voices;
        std::fprintf(ctx.out, "%svoice\t%.*s\n", prefix().c_str(), static_cast<int>(file.size()),
                     file.data());
    };

    std::string cameraLine = warner.panel.camera;
    std::string specsLine = warner.specs.line;
    std::string coachLine;
    bool overLimit = false;
    bool averageOverLimit = false;
    std::optional<roads::RoadMatch> road;
    warner.onSilenced = [&](const cameras::CameraPoint& camera, double band) {
        std::fprintf(ctx.out, "%said\tsilenced %.0f m\t%s\n", prefix().c_str(), band, camera.CamType.c_str());
    };
    unsigned long decoded = 0;
    rig.replay(
        got->logPath,
        [&](const session::SentenceRoad::Intake& in) {
            if (in.taken && in.checksumOk)
                ++decoded;
        },
        [&] {
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
                std::fprintf(ctx.out, "%said\t%s\n", prefix().c_str(),
                             overLimit ? "over limit" : "within limit");
            }
            if (warner.aids.averageOverLimit != averageOverLimit) {
                averageOverLimit = warner.aids.averageOverLimit;
                std::fprintf(ctx.out, "%said\t%s\n", prefix().c_str(),
                             averageOverLimit ? "average over limit" : "average within limit");
            }
            if (roadMap) {
                // The road's ref, name and limit in the shown unit; "none" when off every road.
                const auto& now = roadMap->road();
                const bool same = now.has_value() == road.has_value() &&
                                  (!now || (now->ref == road->ref && now->name == road->name &&
                                            now->limitKph == road->limitKph));
                if (!same) {
                    road = now;
                    if (now) {
                        const std::string limit = roads::limitInUnits(now->limitKph, warner.speedUnits);
                        std::fprintf(ctx.out, "%sroad\t%s\t%s\t%s\n", prefix().c_str(), now->ref.c_str(),
                                     now->name.c_str(), limit.empty() ? "-" : limit.c_str());
                    } else {
                        std::fprintf(ctx.out, "%sroad\tnone\n", prefix().c_str());
                    }
                }
            }
            if (warner.aids.coachLine != coachLine) {
                coachLine = warner.aids.coachLine;
                std::fprintf(ctx.out, "%scoach\t%s\n", prefix().c_str(), coachLine.c_str());
            }
        });

    std::fprintf(ctx.err, "replay: %d lines, %d sentences handed over, %lu decoded, %lu voice requests\n",
                 rig.linesRead(), rig.linesSent(), decoded, voices);
    return kExitOk;
}

} // namespace varno::cli
