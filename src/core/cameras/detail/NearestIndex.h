// The listed cameras ordered by latitude, so the nearest-camera search looks at the few near the fix.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "geo/LatLon.h"

namespace varno::cameras::detail {

// Answers exactly what a walk over the cameras in list order answers when it
// keeps the first camera with the smallest CameraDistance below the "no
// camera" distance: the same distance, to the bit, and the same camera.
//
// The search starts at the fix's latitude and works outwards north and south,
// nearest latitude first, and stops in a direction once the north distance
// alone exceeds the best distance found. A camera reached out of list order
// with exactly the best distance wins only when it comes earlier in the list.
class NearestIndex {
public:
    void clear() { points_.clear(); }
    // A camera with a position, cos(latitude) and its index in the list.
    // Positions that are no finite number are never nearest and are left out.
    void add(geo::LatLon camera, double cosLat, std::size_t record);
    // Orders what was added; call before nearest().
    void finish();
    std::size_t size() const { return points_.size(); }

    // [m] to the nearest camera from a fix with a position, which record
    // names; noCamera (and record untouched) when no camera is nearer than that.
    double nearest(geo::LatLon fix, double noCamera, std::optional<std::size_t>& record) const;
    // The same over the records `accept` takes; it is asked only about a
    // record that would otherwise be the nearest so far.
    struct Filter {
        bool (*accept)(const void* context, std::size_t record);
        const void* context;
    };
    double nearest(geo::LatLon fix, double noCamera, std::optional<std::size_t>& record,
                   const Filter& filter) const;

private:
    struct Point {
        double lat;
        double lon;
        double cosLat;
        std::size_t record;
    };
    std::vector<Point> points_;
};

} // namespace varno::cameras::detail
