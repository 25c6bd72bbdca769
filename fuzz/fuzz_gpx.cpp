// Fuzz target: GPX bytes through the streaming reader, whole and in small blocks.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "gpx/GpxReader.h"

namespace {
struct Balance final : varno::gpx::Visitor {
    long open = 0;
    std::size_t points = 0;
    std::string names;
    void routeStart(const std::string& n) override { ++open, names += n; }
    void routeEnd() override { --open; }
    void trackStart(const std::string& n) override { ++open, names += n; }
    void segmentStart() override { ++open; }
    void segmentEnd() override { --open; }
    void trackEnd() override { --open; }
    void waypoint(const varno::gpx::Point& p) override { ++points, names += p.name; }
    void routePoint(const varno::gpx::Point&) override { ++points; }
    void trackPoint(const varno::gpx::Point&) override { ++points; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Balance whole, streamed;
    const auto a = varno::gpx::readBytes(bytes, whole, "fuzz.gpx");
    std::istringstream in(bytes);
    const auto b = varno::gpx::read(in, streamed, "fuzz.gpx");
    // The block size must not change what is read.
    if (a.has_value() != b.has_value() || whole.points != streamed.points || whole.names != streamed.names)
        __builtin_trap();
    // Every route, track and segment that starts also ends in a file that reads.
    if (!a && whole.open != 0)
        __builtin_trap();
    return 0;
}
