// The machine's sound output for the voice files, chosen in one place.
#pragma once

#include <memory>

#include "cameras/VoicePlayer.h"

namespace varno::platform {

// Plays through the PulseAudio simple API (PipeWire serves it too); silent,
// with one line on stderr, when there is no sound server.
std::unique_ptr<cameras::VoicePlayer> makeVoicePlayer();

} // namespace varno::platform
