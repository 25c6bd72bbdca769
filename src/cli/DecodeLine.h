// One output line of `varno-cli decode` (and `live`): a sentence and the fix after it.
#pragma once

#include <string>
#include <string_view>

namespace varno::gps {
class CNmeaDecoder;
}

namespace varno::cli {

// Tab-separated, without a trailing newline: number, the five-character
// address, "ok" or "bad", Latitude "%f", Longitude "%f", GGA time
// "%02d:%02d:%02d", SpeedKnots "%.3f", Course "%.1f", Altitude "%.1f".
std::string formatDecodeLine(unsigned long number, std::string_view sentence, bool checksumOk,
                             const gps::CNmeaDecoder& dec);

} // namespace varno::cli
