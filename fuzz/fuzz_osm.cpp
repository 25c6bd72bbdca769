// Fuzz target: OSM XML through the reader: every way's references, relation member and tag
// arrive whole, and a bad file is an error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <span>
#include <string_view>

#include "osm/OsmReader.h"

namespace {

struct Count final : varno::osm::Handler {
    void node(std::int64_t, bool located, double lat, double lon, std::span<const varno::osm::Tag>) override
    {
        if (located && (lat < -90.0 || lat > 90.0 || lon < -180.0 || lon > 180.0))
            __builtin_trap();
    }
    void relation(std::int64_t, std::span<const varno::osm::Member> members,
                  std::span<const varno::osm::Tag>) override
    {
        for (const varno::osm::Member& m : members)
            if ((m.type != 'n' && m.type != 'w' && m.type != 'r') ||
                m.role.find('\0') != std::string_view::npos)
                __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Count count;
    varno::osm::readBytes(std::string_view(reinterpret_cast<const char*>(data), size), "osm",
                          varno::osm::kNodes | varno::osm::kWays | varno::osm::kRelations, count);
    return 0;
}
