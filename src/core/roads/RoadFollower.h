// An open road map as the session uses it: the road matched to each fix, and the ways the views draw.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "roads/RoadCache.h"
#include "roads/RoadMatcher.h"

namespace varno::roads {

// The ways around the fix the matcher looks through: this far [m] either side,
// read again after about as far again of driving.
inline constexpr double kMatchReachM = 150.0;

class RoadFollower {
public:
    explicit RoadFollower(std::unique_ptr<RoadSource> source);

    // One fix: the road it is on (see RoadMatcher), or none.
    const std::optional<RoadMatch>& onFix(const gps::Fix& fix, bool receiverHasFix);
    const std::optional<RoadMatch>& road() const { return matcher_.current(); }

    // The ways a view draws: those around centre out to halfM metres either
    // side, read again only when the view moves past the margin of the box
    // read before.
    const std::vector<RoadWay>& waysAround(geo::LatLon centre, double halfM);
    // How often each cache read the source (for tests and benchmarks).
    std::size_t matchQueries() const { return near_.queries(); }
    std::size_t viewQueries() const { return view_.queries(); }

private:
    std::unique_ptr<RoadSource> source_;
    RoadCache near_;
    RoadCache view_;
    RoadMatcher matcher_;
};

// A road map file opened for reading, or why it could not be (a message
// naming the file). Made here so that the session and the command line never
// see the database behind it.
struct OpenedRoadMap {
    std::unique_ptr<RoadSource> source;
    std::string error;
};
OpenedRoadMap openRoadMap(const std::string& path);

} // namespace varno::roads
