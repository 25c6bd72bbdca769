// Which received lines the serial reader hands to the view.
#include "HandOffFilter.h"

namespace varno::gps {

bool passesHandOffFilter(std::string_view line)
{
    if (line.size() < 6 || line[0] != '$')
        return false;
    const std::string_view type = line.substr(4, 2);
    return type == "GA" || type == "MC" || line.substr(0, 6) == "$GPGLL";
}

} // namespace varno::gps
