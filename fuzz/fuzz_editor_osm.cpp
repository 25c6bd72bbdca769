// Fuzz target: OSM XML loaded into the track editor: every entry has points
// and a description "OSM:<id>:" of at most 498 bytes, and a bad file is an
// error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "trackedit/Background.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<varno::trackedit::TrackEntry> entries;
    varno::trackedit::loadOsmBytes(std::string_view(reinterpret_cast<const char*>(data), size), "osm",
                                   entries);
    for (const auto& e : entries)
        if (e.points.empty() || !e.loaded || !e.description || e.description->size() > 498 ||
            e.description->compare(0, 4, "OSM:") != 0 || e.extent.empty)
            __builtin_trap();
    return 0;
}
