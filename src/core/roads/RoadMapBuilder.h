// Building the road map (RoadMapFile.h) from an OpenStreetMap extract.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "base/Report.h"

namespace varno::roads {

struct RoadMapBuildOptions {
    // How far the build has got, 0..1, at most about a thousand times a
    // build; false cancels it. Called on the building thread.
    std::function<bool(double fraction)> progress;
    // Set from any thread to cancel; looked at as often as progress is.
    const std::atomic<bool>* cancel = nullptr;
    // Written into the map's metadata.
    std::string buildVersion = "unknown";
    // Extracts estimated to hold more nodes than this keep the node index in
    // files beside the destination instead of in memory, so that a country
    // builds in little memory. 0: always in files.
    std::uint64_t nodesInMemory = 40000000;
};

// Builds the road map of the extract at source (.osm, .osm.gz, .osm.bz2,
// .osm.pbf) into destination, replacing any file there (whether to is the
// caller's to ask). Two reads of the extract: the ways with a highway tag and
// the node ids they need, then those nodes' positions. The map is written
// under a temporary name beside destination inside one transaction and
// renamed into place only when complete: a failed or cancelled build leaves
// neither it nor any temporary file, and the old destination as it was.
//
// Done: message "Road map: N ways written to DESTINATION", linesIn the
// highway ways read, linesOut the ways written. Failed: message says why and
// names the file. Cancelled: message kCancelled.
Report buildRoadMap(const std::string& source, const std::string& destination,
                    const RoadMapBuildOptions& options = {});

} // namespace varno::roads
