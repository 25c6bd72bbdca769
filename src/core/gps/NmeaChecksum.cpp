// Checks the "*hh" checksum at the end of an NMEA sentence.
#include "NmeaChecksum.h"

#include <cstdint>
#include <cstring>

#include "base/Text.h"

namespace varno::gps {

bool NmeaChecksumOk(std::string_view sentence)
{
    const std::size_t n = sentence.size();
    if (n < 5)
        return false;
    const int hi = hexDigitValue(sentence[n - 2]);
    const int lo = hexDigitValue(sentence[n - 1]);
    if (hi < 0 || lo < 0)
        return false;
    // XOR eight bytes at a time, then fold the word: every sentence of a
    // replayed log passes through here.
    const char* p = sentence.data() + 1;
    std::size_t left = n - 4;
    std::uint64_t wide = 0;
    for (; left >= 8; left -= 8, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        wide ^= word;
    }
    unsigned sum = 0;
    for (int shift = 0; shift < 64; shift += 8)
        sum ^= static_cast<unsigned>(wide >> shift) & 0xFFu;
    for (; left > 0; --left, ++p)
        sum ^= static_cast<unsigned char>(*p);
    return sum == static_cast<unsigned>(hi * 16 + lo);
}

} // namespace varno::gps
