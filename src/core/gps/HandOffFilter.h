// Which received lines the serial reader hands to the view.
#pragma once

#include <string_view>

namespace varno::gps {

// True for "$" with "GA" at index 4-5 (GGA of any talker), "$" with "MC" at
// index 4-5 (RMC of any talker), or a line starting with "$GPGLL". The line is
// given without CR/LF.
bool passesHandOffFilter(std::string_view line);

} // namespace varno::gps
