// Mark Location: appends the current position to the mark file as a camera line.
#pragma once

#include <string>

#include "base/Clock.h"
#include "base/Prompt.h"
#include "geo/LatLon.h"
#include "settings/Settings.h"

namespace varno::cameras {

// The 24-character asctime form of a local time, "Sun Sep 16 01:03:52 1973".
std::string asctimeText(const LocalTime& t);

// With a fix position, appends "%f,%f," the local date and time,
// ",,,,, " and CR LF to the MarkFile, then flushes and closes it. Failures are
// shown; without a position nothing happens at all. True when a line was written.
bool markLocation(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot,
                  const Clock& clock, geo::LatLon fix);

} // namespace varno::cameras
