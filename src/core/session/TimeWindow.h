// The start-up time windows: "hh:mm" texts, their normalisation and the window test.
#pragma once

#include <string>
#include <string_view>

#include "base/Clock.h"

namespace varno::session {

// The local time of day as "%H:%M" ("07:05").
std::string hourMinuteText(const LocalTime& t);

// A stored time as the window test compares it: every "-" and "." becomes ":",
// blanks at either end go, and a text shorter than five characters gets one
// leading "0" ("7.30" -> "07:30").
std::string normaliseTime(std::string_view stored);

// Texts compared as strings. start <= end: start <= time <= end. start > end
// (across midnight): time >= start (and not above "24:00"), or time <= end.
bool inTimeWindow(std::string_view time, std::string_view start, std::string_view end);

} // namespace varno::session
