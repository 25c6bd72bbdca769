// Fuzz target: any text as a maxspeed value gives a limit that is "none", "not known" or a
// plausible number of km/h, and never reads past the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "roads/MaxSpeed.h"
#include "roads/RoadWay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's length: a read past it is caught by ASan.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const int kph : {varno::roads::parseMaxSpeed(text), varno::roads::countryMaxSpeed(text)})
        if (kph != varno::roads::kLimitNone && kph != varno::roads::kLimitUnknown && (kph < 1 || kph > 400))
            __builtin_trap();
    return 0;
}
