// How speed, time of day and units are shown, and what the unit dialogs store.
#include "Presentation.h"

#include <fmt/printf.h>

#include "gps/Fix.h"
#include "base/Numbers.h"

namespace varno::gps {

std::string speedText(double speedKnots, int speedUnits)
{
    if (speedUnits == kSpeedUnitsKph)
        return fmt::sprintf("%.0f kph", speedKnots * kKnotsToKph);
    if (speedUnits == kSpeedUnitsKnots)
        return fmt::sprintf("%.0f knots", speedKnots);
    if (speedKnots <= 1.0)
        return "0 mph";
    return fmt::sprintf("%.0f mph", speedKnots * kKnotsToMph);
}

std::string speedLabelText(double speedKnots, int speedUnits)
{
    if (speedUnits == kSpeedUnitsKph)
        return fmt::sprintf("Speed %01.0f kph", speedKnots * kKnotsToKph);
    if (speedUnits == kSpeedUnitsKnots)
        return fmt::sprintf("Speed %01.0f knots", speedKnots);
    if (speedKnots <= 1.0)
        return "Speed 0 mph";
    return fmt::sprintf("Speed %01.0f mph", speedKnots * kKnotsToMph);
}

TimeOfDay localTimeOf(const Fix& fix, const TimeZone& zone)
{
    return localTimeOfDay({fix.yearUtc, fix.monthUtc, fix.dayUtc, fix.hourUtc, fix.minuteUtc, fix.secondUtc},
                          zone);
}

std::string timeText(const Fix& fix, const TimeZone& zone)
{
    const TimeOfDay t = localTimeOf(fix, zone);
    return fmt::sprintf("Time %d:%2.2d:%2.2d", t.hour, t.minute, t.second);
}

std::string timeZoneTextToStore(std::string_view typed)
{
    const int zone = leadingInt(typed);
    if (zone < -12)
        return "-12";
    if (zone > 12)
        return "12";
    return std::string(typed);
}

int speedUnitsFromDialog(bool kphChecked, bool knotsChecked)
{
    if (kphChecked)
        return kSpeedUnitsKph;
    if (knotsChecked)
        return kSpeedUnitsKnots;
    return kSpeedUnitsMph;
}

} // namespace varno::gps
