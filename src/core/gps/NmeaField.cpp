// Picks one comma-separated field out of an NMEA text.
#include "NmeaField.h"

#include <algorithm>
#include <cmath>
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

namespace {

NmeaAngle nmeaAngle(std::string_view field, std::string_view hemisphere, std::size_t degreeDigits,
                    char negative, double limit)
{
    constexpr NmeaAngle kBad{true, std::nullopt};
    if (field.empty())
        return {};
    if (field.size() < degreeDigits)
        return kBad;
    for (std::size_t i = 0; i < degreeDigits; ++i)
        if (field[i] < '0' || field[i] > '9')
            return kBad;
    const std::string_view minutesText = field.substr(degreeDigits);
    const double minutes = minutesText.empty() ? 0.0 : nmeaNumber(minutesText);
    if (!(minutes >= 0.0 && minutes < 60.0))
        return kBad;
    double value = minutes / 60.0 + leadingInt(field.substr(0, degreeDigits));
    if (!hemisphere.empty() && hemisphere[0] == negative)
        value = -value;
    if (std::fabs(value) > limit)
        return kBad;
    return {false, value};
}

} // namespace

bool isGnssTalker(std::string_view talker)
{
    for (std::string_view t : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ"})
        if (talker == t)
            return true;
    return false;
}

NmeaAngle nmeaLatitude(std::string_view field, std::string_view hemisphere)
{
    return nmeaAngle(field, hemisphere, 2, 'S', 90.0);
}

NmeaAngle nmeaLongitude(std::string_view field, std::string_view hemisphere)
{
    return nmeaAngle(field, hemisphere, 3, 'W', 180.0);
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
