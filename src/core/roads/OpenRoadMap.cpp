// Opens a road map file for the session and the command line, keeping the database out of their headers.
#include "roads/RoadFollower.h"

namespace varno::roads {

OpenedRoadMap openRoadMap(const std::string& path)
{
    return {nullptr, "The road map " + path + " cannot be read: this build has no road map reader."};
}

} // namespace varno::roads
