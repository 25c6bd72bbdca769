// Picks one comma-separated field out of an NMEA text.
#include "NmeaField.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/Numbers.h"

namespace varno::gps {

std::string_view nmeaFieldView(std::string_view text, int n, std::size_t maxLength)
{
    if (n < 0)
        return {};
    std::size_t pos = 0;
    for (int commas = 0; commas < n; ++commas) {
        const std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos)
            return {};
        pos = comma + 1;
    }
    std::size_t end = pos;
    while (end < text.size() && text[end] != ',' && text[end] != '*')
        ++end;
    return text.substr(pos, std::min(end - pos, maxLength));
}

double nmeaNumber(std::string_view field)
{
    // Up to 15 digits fit a double exactly, and so does 10^k for k <= 15, so
    // one division gives the correctly rounded value, as from_chars does.
    // Anything else (exponents, blanks, inf, nan, long digit strings, ".5")
    // goes the general way.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const std::size_t n = field.size();
    const bool negative = n > 0 && field[0] == '-';
    if (n > 0 && (field[0] == '-' || field[0] == '+'))
        ++i;
    if (i >= n || field[i] < '0' || field[i] > '9')
        return leadingDouble(field);
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; i < n && field[i] >= '0' && field[i] <= '9'; ++i, ++digits)
        mantissa = mantissa * 10 + static_cast<unsigned>(field[i] - '0');
    if (i < n && field[i] == '.') {
        for (++i; i < n && field[i] >= '0' && field[i] <= '9'; ++i, ++digits, ++fraction)
            mantissa = mantissa * 10 + static_cast<unsigned>(field[i] - '0');
    }
    if (digits > 15 || (i < n && (field[i] == 'e' || field[i] == 'E')))
        return leadingDouble(field);
    const double value = static_cast<double>(mantissa) / kPow10[fraction];
    return negative ? -value : value;
}

bool NmeaField(std::string_view text, int n, char* buffer, std::size_t size)
{
    if (size == 0)
        return false;
    const std::string_view field = nmeaFieldView(text, n, size - 1);
    if (!field.empty())
        std::memcpy(buffer, field.data(), field.size());
    buffer[field.size()] = '\0';
    return !field.empty();
}

} // namespace varno::gps
