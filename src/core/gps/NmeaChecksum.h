// Checks the "*hh" checksum at the end of an NMEA sentence.
#pragma once

#include <string_view>

namespace varno::gps {

// The sentence as the reader hands it over: "$", body, "*", two hex digits, no
// CR or LF. True when the XOR of the characters from index 1 up to (not
// including) index length-3 equals the last two characters read as hex (either
// case) and every character is printable ASCII (0x20..0x7E). Shorter than 5
// characters, last two characters not both hex digits, or any control byte (a
// NUL from a serial BREAK among them) or byte above 0x7E anywhere: false.
// Characters after the checksum digits therefore make it fail. This is the one
// test of whether a received sentence is good; every decode path goes
// through it.
bool NmeaChecksumOk(std::string_view sentence);

} // namespace varno::gps
