// The fixed set of voice files and the file each warning distance plays.
#include "cameras/VoiceCatalogue.h"

#include <algorithm>
#include <cmath>

namespace varno::cameras {

std::string_view catalogueFile(std::string_view sound)
{
    return std::find(kVoiceCatalogue.begin(), kVoiceCatalogue.end(), sound) != kVoiceCatalogue.end()
               ? sound
               : kInvalidSound;
}

std::optional<std::string_view> distanceSound(double metres)
{
    if (!(std::fabs(metres) < 1e9))
        return std::nullopt;
    switch (static_cast<long>(metres)) {
    case 0:
        return "0.wav";
    case 100:
        return "100.wav";
    case 200:
        return "200.wav";
    case 300:
        return "300.wav";
    case 400:
        return "400.wav";
    case 500:
        return "500.wav";
    case 600:
        return "600.wav";
    case 700:
        return "700.wav";
    case 800:
        return "800.wav";
    case 900:
        return "900.wav";
    case 1000:
        return "1000.wav";
    case 1500:
        return "1500.wav";
    case 2000:
        return "2000.wav";
    default:
        return std::nullopt;
    }
}

} // namespace varno::cameras
