// The start-up time windows: "hh:mm" texts, their normalisation and the window test.
#include "session/TimeWindow.h"

#include <fmt/printf.h>

namespace varno::session {

std::string hourMinuteText(const LocalTime& t)
{
    return fmt::sprintf("%02d:%02d", t.hour, t.minute);
}

std::string normaliseTime(std::string_view stored)
{
    std::string s(stored);
    for (char& c : s) {
        if (c == '-' || c == '.')
            c = ':';
    }
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isBlank(s.front()))
        s.erase(s.begin());
    while (!s.empty() && isBlank(s.back()))
        s.pop_back();
    if (s.size() < 5)
        s.insert(s.begin(), '0');
    return s;
}

bool inTimeWindow(std::string_view time, std::string_view start, std::string_view end)
{
    if (start <= end)
        return start <= time && time <= end;
    return (time >= start && time <= "24:00") || time <= end;
}

} // namespace varno::session
