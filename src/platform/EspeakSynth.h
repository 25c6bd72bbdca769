// Speech synthesis with espeak-ng into samples the voice player plays.
#pragma once

#include <optional>
#include <string>

#include "PulseVoicePlayer.h"

namespace varno::platform {

// The text spoken by espeak-ng (its default English voice) as 16-bit mono
// samples; nullopt when espeak-ng or its voice data cannot be used, or the
// text gives no sound. Not thread-safe: one thread speaks (the voice queue's).
std::optional<DecodedVoice> synthesizeSpeech(const std::string& text);

} // namespace varno::platform
