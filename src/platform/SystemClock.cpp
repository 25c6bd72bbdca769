// The machine's local time of day.
#include "SystemClock.h"

#include <ctime>

namespace varno::platform {

LocalTime SystemClock::now() const
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

} // namespace varno::platform
