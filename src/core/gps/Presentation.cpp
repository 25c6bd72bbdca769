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

int localHour(int ggaHour, int timeZone)
{
    // A stored zone outside -12..12 (edited by hand) still gives an hour of the day.
    const long long h = (static_cast<long long>(ggaHour) + timeZone) % 24;
    return static_cast<int>(h < 0 ? h + 24 : h);
}

std::string timeText(const Fix& fix, int timeZone)
{
    return fmt::sprintf("Time %d:%2.2d:%2.2d", localHour(fix.hourUtc, timeZone), int{fix.minuteUtc},
                        int{fix.secondUtc});
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

int timeZoneFromText(std::string_view stored)
{
    return leadingInt(stored);
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
