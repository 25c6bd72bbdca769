// Fuzz target: OV2 bytes into camera lines: every line has eight fields and ends in a line end,
// and the reading always ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/CameraConvert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno;
    using namespace varno::convert;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const bool fresh : {false, true}) {
        StringSink out;
        Progress progress;
        const Report r = convertOv2(
            bytes, out, {fresh ? CameraList::PocketGpsNew : CameraList::PocketGps, fresh}, progress);
        if (!r.ok() || (!out.text.empty() && out.text.back() != '\n'))
            __builtin_trap();
        // Each record takes at least 13 bytes, so there can be no more lines than that allows.
        if (r.linesOut > size / 13 + 1)
            __builtin_trap();
    }
    return 0;
}
