// Picks one comma-separated field out of an NMEA text.
#include "NmeaField.h"

#include <algorithm>
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
    // Anything but a plain decimal (exponents, blanks, inf, nan, long digit
    // strings, ".5") goes the general way.
    double value = 0.0;
    return shortDecimal(field, value) ? value : leadingDouble(field);
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
