// maxspeed values and the general limits of the countries.
#include "roads/MaxSpeed.h"

#include <charconv>
#include <cmath>

#include "base/AsciiCase.h"
#include "base/Text.h"
#include "roads/RoadWay.h"

namespace varno::roads {
namespace {

constexpr double kKmPerMile = 1.609344;
constexpr double kKmPerNauticalMile = 1.852;
constexpr int kMaxPlausibleKph = 400;
constexpr int kWalkKph = 7;

// Speeds in mph are marked by this; the table turns them into km/h.
constexpr int kMph = 1 << 16;

// The general limits OpenStreetMap's implicit values stand for, as the
// countries' road traffic laws give them for a car. kLimitNone where the law
// sets none. Where a limit depends on more than the value says (time of day,
// weather, vehicle), the lower one that applies to a car in the daytime.
struct CountryLimit {
    std::string_view value;
    int limit;
};
constexpr CountryLimit kCountryLimits[] = {
    {"AT:urban", 50},
    {"AT:rural", 100},
    {"AT:trunk", 100},
    {"AT:motorway", 130},
    {"AT:living_street", 5},
    {"BE:urban", 50},
    {"BE:rural", 90},
    {"BE-VLG:urban", 50},
    {"BE-VLG:rural", 70},
    {"BE-WAL:urban", 50},
    {"BE-WAL:rural", 90},
    {"BE-BRU:urban", 30},
    {"BE-BRU:rural", 70},
    {"BE:trunk", 120},
    {"BE:motorway", 120},
    {"BE:living_street", 20},
    {"CH:urban", 50},
    {"CH:rural", 80},
    {"CH:trunk", 100},
    {"CH:motorway", 120},
    {"CZ:urban", 50},
    {"CZ:rural", 90},
    {"CZ:trunk", 110},
    {"CZ:motorway", 130},
    {"CZ:living_street", 20},
    {"DE:urban", 50},
    {"DE:rural", 100},
    {"DE:motorway", kLimitNone},
    {"DE:living_street", kWalkKph},
    {"DE:bicycle_road", 30},
    {"DK:urban", 50},
    {"DK:rural", 80},
    {"DK:motorway", 130},
    {"ES:urban", 50},
    {"ES:rural", 90},
    {"ES:trunk", 100},
    {"ES:motorway", 120},
    {"FI:urban", 50},
    {"FI:rural", 80},
    {"FI:motorway", 120},
    {"FR:urban", 50},
    {"FR:rural", 80},
    {"FR:trunk", 110},
    {"FR:motorway", 130},
    {"FR:walk", 6},
    {"GB:nsl_single", 60 | kMph},
    {"GB:nsl_dual", 70 | kMph},
    {"GB:motorway", 70 | kMph},
    {"GB:nsl_restricted", 30 | kMph},
    {"HU:urban", 50},
    {"HU:rural", 90},
    {"HU:trunk", 110},
    {"HU:motorway", 130},
    {"IE:urban", 50},
    {"IE:rural", 80},
    {"IE:trunk", 100},
    {"IE:motorway", 120},
    {"IT:urban", 50},
    {"IT:rural", 90},
    {"IT:trunk", 110},
    {"IT:motorway", 130},
    {"LU:urban", 50},
    {"LU:rural", 90},
    {"LU:motorway", 130},
    {"NL:urban", 50},
    {"NL:rural", 80},
    {"NL:trunk", 100},
    {"NL:motorway", 100},
    {"NO:urban", 50},
    {"NO:rural", 80},
    {"PL:urban", 50},
    {"PL:rural", 90},
    {"PL:expressway", 120},
    {"PL:motorway", 140},
    {"PL:living_street", 20},
    {"PT:urban", 50},
    {"PT:rural", 90},
    {"PT:trunk", 100},
    {"PT:motorway", 120},
    {"RU:urban", 60},
    {"RU:rural", 90},
    {"RU:motorway", 110},
    {"RU:living_street", 20},
    {"SE:urban", 50},
    {"SE:rural", 70},
    {"SK:urban", 50},
    {"SK:rural", 90},
    {"SK:motorway", 130},
    {"SI:urban", 50},
    {"SI:rural", 90},
    {"SI:motorway", 130},
};

int kph(double value, double factor)
{
    const double k = std::round(value * factor);
    return k >= 1 && k <= kMaxPlausibleKph ? static_cast<int>(k) : kLimitUnknown;
}

int fromTable(int limit)
{
    if (limit > 0 && (limit & kMph))
        return kph(limit & ~kMph, kKmPerMile);
    return limit;
}

// "30", "30 mph", "50 km/h", "10 knots"; unknown for anything else.
int numberWithUnit(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !(value > 0.0))
        return kLimitUnknown;
    std::string_view unit =
        trimBlanks(std::string_view(end, static_cast<std::size_t>(text.data() + text.size() - end)));
    if (unit.empty() || equalsNoCase(unit, "km/h") || equalsNoCase(unit, "kmh") || equalsNoCase(unit, "kph"))
        return kph(value, 1.0);
    if (equalsNoCase(unit, "mph"))
        return kph(value, kKmPerMile);
    if (equalsNoCase(unit, "knots"))
        return kph(value, kKmPerNauticalMile);
    return kLimitUnknown;
}

} // namespace

int countryMaxSpeed(std::string_view text)
{
    text = trimBlanks(text);
    for (const CountryLimit& c : kCountryLimits)
        if (equalsNoCase(c.value, text))
            return fromTable(c.limit);
    // "DE:zone30", "DE:zone:30", "FR:zone30": the zone's limit is its number.
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return kLimitUnknown;
    const std::string_view country = text.substr(0, colon);
    std::string_view rest = text.substr(colon + 1);
    if (rest.size() < 5 || !equalsNoCase(rest.substr(0, 4), "zone"))
        return kLimitUnknown;
    rest.remove_prefix(4);
    if (rest.front() == ':')
        rest.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end != rest.data() + rest.size())
        return kLimitUnknown;
    const bool miles = equalsNoCase(country, "GB") || equalsNoCase(country, "US");
    return kph(value, miles ? kKmPerMile : 1.0);
}

int parseMaxSpeed(std::string_view text)
{
    // Several values ("60;50", lanes "60|50"): the first.
    text = trimBlanks(text.substr(0, text.find_first_of(";|")));
    if (text.empty())
        return kLimitUnknown;
    if (equalsNoCase(text, "none"))
        return kLimitNone;
    if (equalsNoCase(text, "walk"))
        return kWalkKph;
    if (text.find(':') != std::string_view::npos)
        return countryMaxSpeed(text);
    return numberWithUnit(text);
}

} // namespace varno::roads
