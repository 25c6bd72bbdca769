// Picks one comma-separated field out of an NMEA text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace varno::gps {

// The decoder reads every field through a buffer of this size, so a field is
// cut to kNmeaFieldBufferSize - 1 = 24 characters.
inline constexpr std::size_t kNmeaFieldBufferSize = 25;

// Copies field n (0-based, fields separated by ',') of text into buffer, at most
// size - 1 characters, and terminates it. A field ends at ',', '*' or the end of
// the text. False, with buffer set empty, when the text has fewer than n commas,
// or the field is empty or starts with '*'. size 0 copies nothing and is false.
bool NmeaField(std::string_view text, int n, char* buffer, std::size_t size);

// The same field as a view into text, cut to maxLength characters; empty when
// NmeaField would return false.
std::string_view nmeaFieldView(std::string_view text, int n,
                               std::size_t maxLength = kNmeaFieldBufferSize - 1);

// A field read as leadingDouble reads it (atof in the "C" locale), with a quick
// path for the plain decimals ("4527.458", "-0.5") that fill NMEA sentences.
double nmeaNumber(std::string_view field);

// Talkers whose position sentences are decoded: GPS, combined GNSS, GLONASS,
// Galileo, BeiDou (both spellings) and QZSS.
bool isGnssTalker(std::string_view talker);

// A latitude ("ddmm.mmmm") or longitude ("dddmm.mmmm") field with its
// hemisphere field: degrees plus minutes / 60, negative in the south and west.
// An empty field (a receiver without a fix sends none) has no value and is not
// bad; a field that is there but is no such angle (a degree digit missing,
// minutes below 0 or of 60 or more, beyond 90 or 180 degrees, "1e308", "nan")
// is bad, and its sentence is not to be believed.
struct NmeaAngle {
    bool bad = false;
    std::optional<double> value;
};
NmeaAngle nmeaLatitude(std::string_view field, std::string_view hemisphere);
NmeaAngle nmeaLongitude(std::string_view field, std::string_view hemisphere);

} // namespace varno::gps
