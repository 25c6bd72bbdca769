// Fuzz target: camera CSV text of each list into camera lines: no line longer than its fields allow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/CameraConvert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno;
    using namespace varno::convert;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const CameraList list : {CameraList::PocketGps, CameraList::Garmin, CameraList::PocketGpsNew}) {
        LineInput in(text);
        StringSink out;
        Progress progress;
        if (!convertCameraCsv(in, out, {list, true}, progress).ok())
            __builtin_trap();
        std::size_t start = 0;
        while (start < out.text.size()) {
            const std::size_t end = out.text.find('\n', start);
            if (end == std::string::npos)
                __builtin_trap();
            // 14 + 14 + 14 + 25 + 22 + 14 + 3 + 3 bytes of fields and 7 commas at most; a short
            // name can grow by its speed limit.
            if (end - start > 14 + 14 + 14 + 25 + 22 + 14 + 3 + 3 + 7 + 2 * 12)
                __builtin_trap();
            start = end + 1;
        }
    }
    return 0;
}
