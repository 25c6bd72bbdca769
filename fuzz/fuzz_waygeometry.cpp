// Fuzz target: any bytes as a road map point blob are refused or give points on the globe, as
// many as the blob can hold, that encode back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "roads/WayGeometry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno::roads;
    const std::string_view blob(reinterpret_cast<const char*>(data), size);
    std::vector<PointE7> points;
    if (!decodeWayGeometry(blob, points)) {
        if (!points.empty())
            __builtin_trap();
        return 0;
    }
    if (points.empty() || points.size() > kMaxWayPoints || points.size() * 2 > size)
        __builtin_trap();
    for (const PointE7& p : points)
        if (p.lat < -900000000 || p.lat > 900000000 || p.lon < -1800000000 || p.lon > 1800000000)
            __builtin_trap();
    // Varints may carry needless continuation bytes; those aside, the blob is what encoding gives.
    std::vector<PointE7> again;
    if (!decodeWayGeometry(encodeWayGeometry(points), again) || again != points)
        __builtin_trap();
    return 0;
}
