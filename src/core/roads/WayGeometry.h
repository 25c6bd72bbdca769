// The points of a road map way as the file stores them: a compact blob of
// 1e-7-degree integers, the first point whole and the rest as differences.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geo/LatLon.h"

namespace varno::roads {

// A point in the OpenStreetMap unit of 1e-7 degrees.
struct PointE7 {
    std::int32_t lat = 0;
    std::int32_t lon = 0;
    friend bool operator==(const PointE7&, const PointE7&) = default;
};

// The most points a blob may hold. OpenStreetMap allows 2 000 nodes a way;
// anything far beyond that is damage, not a road.
inline constexpr std::size_t kMaxWayPoints = 100000;

// The blob: the number of points as a varint, then for each point its
// latitude and longitude as zigzag varints, the first point as it is and
// every later one as the difference to the one before. Nothing else; the
// blob ends with the last point.
std::string encodeWayGeometry(std::span<const PointE7> points);

// Reads a blob back. False (out emptied) for a blob that ends early, has
// bytes after its last point, holds no point or more than kMaxWayPoints, or
// a point off the globe (latitude beyond +-90, longitude beyond +-180).
bool decodeWayGeometry(std::string_view blob, std::vector<PointE7>& out);
bool decodeWayGeometry(std::string_view blob, std::vector<geo::LatLon>& out);

} // namespace varno::roads
