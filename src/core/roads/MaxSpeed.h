// Reading an OpenStreetMap maxspeed value into km/h.
#pragma once

#include <string_view>

namespace varno::roads {

// The limit a maxspeed value gives [km/h], kLimitNone for "none", or
// kLimitUnknown for what gives no number. Read as real data has it:
//   "50", "50 km/h", "50kmh", "50 kph"       50
//   "30 mph", "30mph"                          48 (miles are turned into km/h and rounded)
//   "10 knots"                                 19
//   "none"                                     kLimitNone
//   "walk"                                     7: walking pace, the upper end of what
//                                              courts take it to be where the law says no number
//   "signals", "variable", "", anything else   kLimitUnknown
//   "60;50", "60 | 50"                         60: the first value, the limit of the whole
//                                              way where the others apply to lanes
//   "DE:urban", "GB:nsl_single", ...           the country's general limit from the table in
//                                              MaxSpeed.cpp (the one place it is kept)
//   "DE:zone30", "DE:zone:30", "GB:zone20"     the zone's number (mph in GB and US)
// A value of 0, or above 400 km/h, is no limit anyone signs: unknown.
int parseMaxSpeed(std::string_view text);

// The country value alone ("DE:urban"): its limit, or kLimitUnknown when the
// table does not know it.
int countryMaxSpeed(std::string_view text);

} // namespace varno::roads
