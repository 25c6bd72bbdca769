// Checks the "*hh" checksum at the end of an NMEA sentence.
#pragma once

#include <string_view>

namespace varno::gps {

// The sentence as the reader hands it over: "$", body, "*", two hex digits, no
// CR or LF. True when the XOR of the characters from index 1 up to (not
// including) index length-3 equals the last two characters read as hex (either
// case). Shorter than 5 characters, or last two characters not both hex digits:
// false. Characters after the checksum digits therefore make it fail.
bool NmeaChecksumOk(std::string_view sentence);

} // namespace varno::gps
