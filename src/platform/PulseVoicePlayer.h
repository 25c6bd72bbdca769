// Plays voice files: libsndfile decodes, the PulseAudio simple API plays to the end.
#pragma once

#include <string>

#include "cameras/VoicePlayer.h"

namespace varno::platform {

// Each play() decodes the whole file and blocks until the server has played
// it (pa_simple_drain), as the warner expects. A missing or unreadable file
// plays nothing. When no sound server can be reached, play() is silent and
// one line goes to stderr, the first time only.
//
// The stream announces itself with the media role "event" through the
// PULSE_PROP_media.role environment variable, set (unless the user already
// set it) before the first connection: pa_simple_new takes no property list,
// and the variable is read by libpulse when the stream connects.
class PulseVoicePlayer final : public cameras::VoicePlayer {
public:
    void play(const std::string& path) override;

private:
    bool reportedNoServer_ = false;
};

} // namespace varno::platform
