// PlayVoice, SayDistance and the Muted flag: every sound the warner makes goes through here.
#include "cameras/Voice.h"

#include "base/DataPath.h"
#include "cameras/VoiceCatalogue.h"

namespace varno::cameras {

void Voice::PlayVoice(std::string_view sound)
{
    if (Muted)
        return;
    if (onRequest)
        onRequest(catalogueFile(sound));
    std::optional<std::string> folder = settings_.read(settings::keys::VoiceFolder);
    if (!folder)
        return;
    // A folder stored with a trailing backslash gives "//", which is harmless.
    std::string path = mapDataPath(*folder, dataRoot_) + "/" + std::string(catalogueFile(sound));
    player_->play(path);
}

void Voice::SayDistance(double metres)
{
    if (std::optional<std::string_view> file = distanceSound(metres))
        PlayVoice(*file);
}

void Voice::toggleMute()
{
    if (Muted) {
        Muted = false;
        PlayVoice("Unmute.wav");
    } else {
        PlayVoice("Mute.wav");
        Muted = true;
    }
}

} // namespace varno::cameras
