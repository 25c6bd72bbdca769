// A road of the road map: one OpenStreetMap way with a highway tag, as the
// builder stores it and the matcher and the views read it back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geo/LatLon.h"

namespace varno::roads {

// The highway classes the road map keeps, largest first. A "_link" way takes
// its road's class. Stored as these numbers: never reorder.
enum class RoadClass : std::uint8_t {
    Motorway = 0,
    Trunk = 1,
    Primary = 2,
    Secondary = 3,
    Tertiary = 4,
    Unclassified = 5,
    Residential = 6,
    LivingStreet = 7,
    Service = 8,
    Track = 9,
    Path = 10, // path, footway, cycleway, bridleway, steps, pedestrian
    Other = 11,
};

// A speed limit [km/h]: a number, "none" (no limit) or not known.
inline constexpr int kLimitUnknown = 0;
inline constexpr int kLimitNone = -1;

struct RoadWay {
    std::int64_t id = 0; // the OpenStreetMap way id
    RoadClass roadClass = RoadClass::Other;
    std::string name;
    std::string ref;
    int limitKph = kLimitUnknown; // maxspeed read into km/h
    std::string limitText;        // maxspeed as the data has it
    bool oneway = false;          // one way, in the order of the points
    std::vector<geo::LatLon> points;
};

// A latitude/longitude box [deg].
struct RoadBox {
    double south = 0.0, west = 0.0, north = 0.0, east = 0.0;
};

// Where the matcher and the views get their ways from: the road map file, or
// a list in memory in tests.
class RoadSource {
public:
    virtual ~RoadSource() = default;
    // The ways whose extent meets the box (replacing what `out` held).
    virtual void waysIn(const RoadBox& box, std::vector<RoadWay>& out) const = 0;
};

} // namespace varno::roads
