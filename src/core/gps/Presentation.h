// How speed, time of day and units are shown, and what the unit dialogs store.
#pragma once

#include <string>
#include <string_view>

#include "base/TimeZone.h"

namespace varno::gps {

struct Fix;

inline constexpr double kKnotsToKph = 1.852;
inline constexpr double kKnotsToMph = 1.15077945;
inline constexpr double kMetresToMiles = 0.000621371192;
inline constexpr double kMetresToNauticalMiles = 0.000539956803;
inline constexpr double kMetresToKilometres = 0.001;

// SpeedUnits values.
inline constexpr int kSpeedUnitsMph = 0;
inline constexpr int kSpeedUnitsKph = 1;
inline constexpr int kSpeedUnitsKnots = 2;

// TimeZone when the stored value cannot be read.
inline constexpr int kDefaultTimeZone = 1;

// Camera view: "%.0f kph", "%.0f knots", "%.0f mph"; mph shows "0 mph" when
// speedKnots <= 1.0. Any SpeedUnits other than 1 and 2 shows mph.
std::string speedText(double speedKnots, int speedUnits);

// The other views: "Speed %01.0f kph" / "... knots" / "... mph", "Speed 0 mph".
std::string speedLabelText(double speedKnots, int speedUnits);

// The fix's UTC time (and date, when an RMC gave one) in the zone: what every
// view, file and command line output shows as the local time.
TimeOfDay localTimeOf(const Fix& fix, const TimeZone& zone);

// "Time %d:%2.2d:%2.2d" with the local time of the fix.
std::string timeText(const Fix& fix, const TimeZone& zone);

// Time Zone dialog OK: the text to store as TimeZone. The typed text reads as
// its leading number (leadingInt: blanks, sign, digits; 0 when none); below -12
// stores "-12", above 12 stores "12", anything else is stored as typed.
std::string timeZoneTextToStore(std::string_view typed);

// Speed Setup dialog OK: 1 when "Kilometres per hour" is checked, else 2 when
// "Knots" is checked, else 0 (MPH).
int speedUnitsFromDialog(bool kphChecked, bool knotsChecked);

} // namespace varno::gps
