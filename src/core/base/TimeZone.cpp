// The time zone the views show the time in: whole hours from UTC, or the system's own zone.
#include "base/TimeZone.h"

#include <ctime>

#include "base/AsciiCase.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace varno {
namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (Howard Hinnant's days_from_civil).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

TimeOfDay fixedOffset(const UtcDateTime& utc, int hours)
{
    // A stored zone outside -12..12 (edited by hand) still gives an hour of the day.
    const long long h = (static_cast<long long>(utc.hour) + hours) % 24;
    return {static_cast<int>(h < 0 ? h + 24 : h), utc.minute, utc.second};
}

} // namespace

TimeZone timeZoneFromText(std::string_view stored)
{
    if (equalsNoCase(trimBlanks(stored), kSystemTimeZone))
        return TimeZone::system();
    return TimeZone(leadingInt(stored));
}

TimeOfDay localTimeOfDay(const UtcDateTime& utc, const TimeZone& zone)
{
    if (!zone.followsSystem())
        return fixedOffset(utc, zone.hours());
    // A leap second (60) would carry into the next minute; the receiver's second is shown as sent.
    const int second = utc.second > 59 ? 59 : utc.second;
    std::time_t at;
    if (utc.year > 0 && utc.month >= 1 && utc.month <= 12 && utc.day >= 1 && utc.day <= 31) {
        const long long days =
            daysFromCivil(utc.year, static_cast<unsigned>(utc.month), static_cast<unsigned>(utc.day));
        at = static_cast<std::time_t>(days * 86400 + utc.hour * 3600LL + utc.minute * 60LL + second);
    } else {
        // No date from the receiver: today's offset, with the fix's time of day.
        const std::time_t now = std::time(nullptr);
        at = now - now % 86400 + utc.hour * 3600LL + utc.minute * 60LL + second;
    }
    // The zone is read again each time, so a changed TZ (or a summer time
    // switch during a drive) shows at the next fix.
    tzset();
    std::tm local{};
    if (!localtime_r(&at, &local))
        return fixedOffset(utc, 0);
    return {local.tm_hour, local.tm_min, utc.second};
}

} // namespace varno
