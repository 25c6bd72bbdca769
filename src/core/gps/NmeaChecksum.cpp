// Checks the "*hh" checksum at the end of an NMEA sentence.
#include "NmeaChecksum.h"

namespace varno::gps {
namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool NmeaChecksumOk(std::string_view sentence)
{
    const std::size_t n = sentence.size();
    if (n < 5)
        return false;
    const int hi = hexDigit(sentence[n - 2]);
    const int lo = hexDigit(sentence[n - 1]);
    if (hi < 0 || lo < 0)
        return false;
    unsigned char sum = 0;
    for (std::size_t i = 1; i < n - 3; ++i)
        sum ^= static_cast<unsigned char>(sentence[i]);
    return sum == hi * 16 + lo;
}

} // namespace varno::gps
