// One output line of `varno-cli decode` (and `live`): a sentence and the fix after it.
#include "DecodeLine.h"

#include <algorithm>

#include <fmt/printf.h>

#include "gps/CNmeaDecoder.h"

namespace varno::cli {

std::string formatDecodeLine(unsigned long number, std::string_view sentence, bool checksumOk,
                             const gps::CNmeaDecoder& dec)
{
    const std::string address(sentence.substr(std::min<std::size_t>(1, sentence.size()), 5));
    return fmt::sprintf("%lu\t%s\t%s\t%f\t%f\t%02d:%02d:%02d\t%.3f\t%.1f\t%.1f", number, address,
                        checksumOk ? "ok" : "bad", dec.Latitude, dec.Longitude, int{dec.GgaHour},
                        int{dec.GgaMinute}, int{dec.GgaSecond}, dec.SpeedKnots, dec.Course, dec.Altitude);
}

} // namespace varno::cli
