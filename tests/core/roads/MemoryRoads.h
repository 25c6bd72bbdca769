// Ways laid out in metres around a place, and a road source that holds them in memory.
#pragma once

#include <cmath>
#include <vector>

#include "geo/MapGeometry.h"
#include "roads/RoadWay.h"

namespace varno::testing {

inline constexpr geo::LatLon kTown(53.5577, 13.2611);

// The place east and north of kTown by these metres.
inline geo::LatLon at(double eastM, double northM)
{
    const double lat = kTown.latDeg() + northM / geo::kMetresPerDegreeNorth;
    return {lat,
            kTown.lonDeg() + eastM / (std::cos(kTown.latDeg() * geo::kDegToRad) * geo::kMetresPerDegreeEast)};
}

inline roads::RoadWay way(std::int64_t id, std::vector<std::pair<double, double>> metres,
                          roads::RoadClass cls = roads::RoadClass::Residential, std::string name = {},
                          int limitKph = roads::kLimitUnknown, bool oneway = false, std::string ref = {})
{
    roads::RoadWay w;
    w.id = id;
    w.roadClass = cls;
    w.name = std::move(name);
    w.ref = std::move(ref);
    w.limitKph = limitKph;
    w.limitText = limitKph > 0 ? std::to_string(limitKph) : "";
    w.oneway = oneway;
    for (auto [e, n] : metres)
        w.points.push_back(at(e, n));
    return w;
}

// The ways whose points' extent meets the box; counts its queries.
class MemoryRoads final : public roads::RoadSource {
public:
    std::vector<roads::RoadWay> all;
    mutable int queries = 0;

    void waysIn(const roads::RoadBox& box, std::vector<roads::RoadWay>& out) const override
    {
        ++queries;
        out.clear();
        for (const roads::RoadWay& w : all) {
            double s = 90, n = -90, west = 180, e = -180;
            for (const geo::LatLon& p : w.points) {
                s = std::min(s, p.latDeg()), n = std::max(n, p.latDeg());
                west = std::min(west, p.lonDeg()), e = std::max(e, p.lonDeg());
            }
            if (n >= box.south && s <= box.north && e >= box.west && west <= box.east)
                out.push_back(w);
        }
    }
};

} // namespace varno::testing
