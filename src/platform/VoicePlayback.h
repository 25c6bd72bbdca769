// The machine's sound output for the voice files, chosen in one place.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cameras/VoicePlayer.h"

namespace varno::platform {

// Plays through the PulseAudio simple API (PipeWire serves it too), returning
// when the sound has ended; silent, with one line on stderr and one call of
// noServer (on the playing thread), when there is no sound server.
std::unique_ptr<cameras::VoicePlayer> makeVoicePlayer(std::function<void(const std::string&)> noServer = {});

} // namespace varno::platform
