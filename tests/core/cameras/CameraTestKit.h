// Shared helpers for the camera tests: temporary camera files, positions at known distances, a warner rig.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <fmt/printf.h>

#include "cameras/CameraWarner.h"
#include "cameras/VoicePlayer.h"
#include "core/base/ScratchFiles.h"
#include "support/TestSettings.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "support/RecordingPrompt.h"

namespace varno::test {

// A latitude metres north of lat (same longitude); the camera distance is
// within a few nanometres of metres.
inline double northOf(double lat, double metres)
{
    return lat + metres / geo::kMetresPerDegreeNorth;
}

// A camera line with nine decimals, so distances come out within a millimetre.
inline std::string cameraLine(double lat, double lon, const std::string& type, const std::string& limit = "")
{
    return fmt::sprintf("%.9f,%.9f,A1,Town,Hazard,%s,P,%s\n", lat, lon, type, limit);
}

// Records the paths the program asked to play, in order.
class RecordingVoicePlayer final : public cameras::VoicePlayer {
public:
    void play(const std::string& path) override { played.push_back(path); }
    // The file names alone ("0.wav").
    std::vector<std::string> files() const
    {
        std::vector<std::string> f;
        for (const auto& p : played)
            f.push_back(p.substr(p.rfind('/') + 1));
        return f;
    }
    std::vector<std::string> played;
};

// A warner over a temporary camera file, recording what it says and shows.
struct WarnerRig {
    ScratchDir dir;
    RecordingPrompt prompt;
    TestSettings settings{prompt};
    RecordingVoicePlayer player;
    gps::CNmeaDecoder fix;
    std::unique_ptr<cameras::CameraWarner> warner;

    WarnerRig(const std::string& cameras, double lon)
    {
        settings.set(settings::keys::VoiceFolder, "C:\\VARNO\\Voice");
        settings.set(settings::keys::MapScale, 4000);
        useCameras(cameras);
        warner = std::make_unique<cameras::CameraWarner>(settings, prompt, player, dir.file("root"));
        fix.Longitude = lon;
    }
    void useCameras(const std::string& text)
    {
        settings.set(settings::keys::CameraFile, dir.file("cams.txt"));
        writeBytes(dir.file("cams.txt"), text);
    }
};

} // namespace varno::test
