// Fuzz target: GPX tracks loaded into the track editor: one entry per
// segment with points, each named, and a bad file is an error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "trackedit/Background.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<varno::trackedit::TrackEntry> entries;
    const auto r = varno::trackedit::loadJosmGpxBytes(
        std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.gpx", entries);
    std::uint64_t points = 0;
    for (const auto& e : entries) {
        if (e.points.empty() || !e.description || e.extent.empty)
            __builtin_trap();
        points += e.points.size();
    }
    if (points != r.pointsLoaded)
        __builtin_trap();
    return 0;
}
