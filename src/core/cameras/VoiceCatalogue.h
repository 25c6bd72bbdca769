// The fixed set of voice files and the file each warning distance plays.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace varno::cameras {

// Every file the voice folder is expected to hold, "invalid.wav" included.
inline constexpr std::array<std::string_view, 39> kVoiceCatalogue = {
    "2000.wav",
    "1500.wav",
    "1000.wav",
    "900.wav",
    "800.wav",
    "700.wav",
    "600.wav",
    "500.wav",
    "400.wav",
    "300.wav",
    "200.wav",
    "100.wav",
    "0.wav",
    "Metres.wav",
    "Miles.wav",
    "Knots.wav",
    "Warning.wav",
    "Speed.wav",
    "Speed exceeds limit.wav",
    "Information.wav",
    "All clear.wav",
    "No reception.wav",
    "Reception OK.wav",
    "Program error.wav",
    "Camera.wav",
    "Gatso.wav",
    "Truvelo.wav",
    "Truvelo front facing.wav",
    "DS2.wav",
    "PEEK.wav",
    "Gantry.wav",
    "Watchman.wav",
    "UnlistedCamera.wav",
    "Specs.wav",
    "Mute.wav",
    "Unmute.wav",
    // The driver aids: over the limit near a camera, and an average-speed section driven too fast.
    "Chime.wav",
    "SlowDown.wav",
    "invalid.wav",
};

inline constexpr std::string_view kInvalidSound = "invalid.wav";

// The file played for a sound name: the name itself when it is in the
// catalogue, else "invalid.wav".
std::string_view catalogueFile(std::string_view sound);

// The distance sound for a step of the warning engine, truncated to whole
// metres: "0.wav" ... "1000.wav", "1500.wav", "2000.wav"; nullopt for any
// other distance.
std::optional<std::string_view> distanceSound(double metres);

} // namespace varno::cameras
