// Opens a road map file for the session and the command line, keeping the database out of their headers.
#include "roads/RoadFollower.h"
#include "roads/RoadMapFile.h"

namespace varno::roads {

OpenedRoadMap openRoadMap(const std::string& path)
{
    OpenedRoadMap opened;
    opened.source = RoadMapFile::open(path, opened.error);
    return opened;
}

} // namespace varno::roads
