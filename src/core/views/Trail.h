// The trail of the trail view: a polyline loaded from a GPX file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "geo/LatLon.h"
#include "gpx/GpxReader.h"

namespace varno::views {

// Segments of points; the pen is lifted between segments. Every route of
// the file is one segment, and so is every track segment; waypoints are not
// part of the trail.
struct Trail {
    std::vector<std::vector<geo::LatLon>> segments;
    std::size_t pointCount() const;
    bool empty() const { return segments.empty(); }

    // What a draw needs beyond the points, made once by buildIndex: each
    // point's cosine of latitude, and the latitude and longitude span of each
    // run of kChunk points, so runs wholly beside the map are passed over.
    static constexpr std::size_t kChunk = 256;
    struct SegmentIndex {
        std::vector<double> cosLat;
        std::vector<double> chunkMinLat, chunkMaxLat;
        std::vector<double> chunkMinLon, chunkMaxLon;
    };
    std::vector<SegmentIndex> index;
    void buildIndex();
};

struct TrailLoad {
    Trail trail;                     // what was read, also when reading stopped early
    std::optional<gpx::Error> error; // why it stopped early
    // The message for the user: the count, or the error followed by the count.
    std::string message() const;
};

// Reads the trail from a GPX file. A file that cannot be opened gives an
// error with line 0 and no points. progress, when given, hears the bytes read
// so far and the file's size; returning false stops the reading (an error
// with stopped set).
using TrailProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
TrailLoad loadTrail(const std::string& path, const TrailProgress& progress = {});

inline constexpr const char* kTrailUnloadedMessage = "The trail has been unloaded from memory";
inline constexpr const char* kTrailLoadCancelledMessage =
    "Loading the trail cancelled.\nThe trail loaded before stays.";
inline constexpr const char* kChooseTrailMessage = "Please choose a Gpolyline GPX route file.";

} // namespace varno::views
