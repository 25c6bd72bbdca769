// The time zone the views show the time in: whole hours from UTC, or the system's own zone.
#pragma once

#include <string_view>

namespace varno {

// What the TimeZone setting holds. A number is a fixed offset in hours, as it
// always was; "System" follows the zone of the machine (the TZ environment or
// /etc/localtime), summer time included, decided afresh for each fix's date.
class TimeZone {
public:
    // A fixed offset [h]; implicit, so a number is a zone wherever one is asked for.
    constexpr TimeZone(int hours = 1) : hours_(hours) {}
    static constexpr TimeZone system()
    {
        TimeZone z(0);
        z.system_ = true;
        return z;
    }

    bool followsSystem() const { return system_; }
    // The fixed offset [h]; 0 for the system's zone.
    int hours() const { return hours_; }

    friend bool operator==(const TimeZone&, const TimeZone&) = default;

private:
    int hours_ = 1;
    bool system_ = false;
};

// The stored text that asks for the system's zone.
inline constexpr std::string_view kSystemTimeZone = "System";

// A stored TimeZone text: "System" (letter case aside, blanks around it
// allowed) follows the system; anything else is its leading number, as before.
TimeZone timeZoneFromText(std::string_view stored);

// A moment in UTC as a receiver sends it. year 0: the date is not known (no
// RMC yet), and the system's zone is taken as it stands today.
struct UtcDateTime {
    int year = 0, month = 1, day = 1; // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// The local time of day of a UTC moment in a zone: the one place the zone is
// applied, for every view, file and command line output.
TimeOfDay localTimeOfDay(const UtcDateTime& utc, const TimeZone& zone);

} // namespace varno
