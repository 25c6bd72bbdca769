// Checks the "*hh" checksum at the end of an NMEA sentence.
#include "NmeaChecksum.h"

#include <cstdint>
#include <cstring>

#include "base/Text.h"

namespace varno::gps {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

// True when some byte of the word is below n (n at most 0x80).
constexpr bool anyByteBelow(std::uint64_t word, unsigned n)
{
    return ((word - kOnes * n) & ~word & kHighs) != 0;
}

// True when some byte of the word lies outside 0x20..0x7E.
constexpr bool anyUnprintable(std::uint64_t word)
{
    return (word & kHighs) != 0 || anyByteBelow(word, 0x20) || anyByteBelow(word ^ (kOnes * 0x7F), 1);
}

constexpr bool printable(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

} // namespace

bool NmeaChecksumOk(std::string_view sentence)
{
    const std::size_t n = sentence.size();
    if (n < 5)
        return false;
    const int hi = hexDigitValue(sentence[n - 2]);
    const int lo = hexDigitValue(sentence[n - 1]);
    if (hi < 0 || lo < 0)
        return false;
    // A NUL (a serial BREAK) or any other control byte XORs in unseen or not
    // at all, and would cut a number short in the decoder: such a sentence is
    // bad however its checksum comes out.
    if (!printable(sentence[0]) || !printable(sentence[n - 3]))
        return false;
    // XOR eight bytes at a time, then fold the word: every sentence of a
    // replayed log passes through here.
    const char* p = sentence.data() + 1;
    std::size_t left = n - 4;
    std::uint64_t wide = 0;
    bool clean = true;
    for (; left >= 8; left -= 8, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        clean &= !anyUnprintable(word);
        wide ^= word;
    }
    unsigned sum = 0;
    for (int shift = 0; shift < 64; shift += 8)
        sum ^= static_cast<unsigned>(wide >> shift) & 0xFFu;
    for (; left > 0; --left, ++p) {
        clean &= printable(*p);
        sum ^= static_cast<unsigned char>(*p);
    }
    return clean && sum == static_cast<unsigned>(hi * 16 + lo);
}

} // namespace varno::gps
