// Builds checksummed NMEA sentences for the decoder tests: "$" + body + "*" + the two upper-case hex
// digits of the XOR of body.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace varno::test {

inline std::string nmea(std::string_view body)
{
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return "$" + std::string(body) + "*" + hex;
}

} // namespace varno::test
