// The listed cameras ordered by latitude, so the nearest-camera search looks at the few near the fix.
#include "cameras/detail/NearestIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cameras/CameraDistance.h"
#include "geo/MapGeometry.h"

namespace varno::cameras::detail {
namespace {

// A distance is the root of a square that rounding may have nudged by an ulp
// or two either way; with this much room a square or a north distance above
// the bound is certainly farther than the best distance, never equal to it.
constexpr double kSlack = 1.0 + 1e-12;

} // namespace

void NearestIndex::add(geo::LatLon camera, double cosLat, std::size_t record)
{
    const double lat = camera.latDeg(), lon = camera.lonDeg();
    if (std::isfinite(lat) && std::isfinite(lon) && std::isfinite(cosLat))
        points_.push_back({lat, lon, cosLat, record});
}

void NearestIndex::finish()
{
    std::sort(points_.begin(), points_.end(), [](const Point& a, const Point& b) {
        return a.lat < b.lat || (a.lat == b.lat && a.record < b.record);
    });
}

double NearestIndex::nearest(geo::LatLon fix, double noCamera, std::optional<std::size_t>& record) const
{
    return nearest(fix, noCamera, record, Filter{nullptr, nullptr});
}

double NearestIndex::nearest(geo::LatLon fix, double noCamera, std::optional<std::size_t>& record,
                             const Filter& filter) const
{
    const double fixLat = fix.latDeg();
    double best = noCamera;
    double bestSquare = std::numeric_limits<double>::infinity();
    std::optional<std::size_t> bestRecord;
    auto consider = [&](const Point& p) {
        const double square = squaredCameraDistance(geo::LatLon(p.lat, p.lon), p.cosLat, fix);
        // Roots keep the order of their squares: one well above the best
        // square cannot be as near, and is not rooted at all (nor is a NaN).
        if (!(square <= bestSquare * kSlack))
            return;
        const double d = std::sqrt(square);
        if ((d < best || (d == best && bestRecord && p.record < *bestRecord)) &&
            (!filter.accept || filter.accept(filter.context, p.record))) {
            best = d;
            bestSquare = square;
            bestRecord = p.record;
        }
    };

    if (!std::isfinite(fixLat) || !std::isfinite(fix.lonDeg())) {
        // No latitude to start from: every camera is looked at.
        for (const Point& p : points_)
            consider(p);
    } else {
        const auto start = std::lower_bound(points_.begin(), points_.end(), fixLat,
                                            [](const Point& p, double lat) { return p.lat < lat; });
        std::size_t north =
            static_cast<std::size_t>(start - points_.begin()); // next one at or north of the fix
        std::size_t south = north;                             // one past the next one south
        constexpr double kFar = std::numeric_limits<double>::infinity();
        for (;;) {
            // The north distance as the distance itself computes it: the
            // distance is never below it.
            const double toNorth = north < points_.size()
                                       ? std::fabs(points_[north].lat - fixLat) * geo::kMetresPerDegreeNorth
                                       : kFar;
            const double toSouth =
                south > 0 ? std::fabs(points_[south - 1].lat - fixLat) * geo::kMetresPerDegreeNorth : kFar;
            const double closer = std::min(toNorth, toSouth);
            if (closer == kFar || closer > best * kSlack)
                break;
            if (toNorth <= toSouth)
                consider(points_[north++]);
            else
                consider(points_[--south]);
        }
    }
    if (bestRecord)
        record = bestRecord;
    return best;
}

} // namespace varno::cameras::detail
