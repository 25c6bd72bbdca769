// Fuzz target: a small height grid from the input through isolines and the tracer: every line
// is a well-formed track and both always end.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>

#include "convert/Convert.h"
#include "srtm/Contours.h"
#include "srtm/HgtTile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno;
    if (size < 3)
        return 0;
    // The first byte picks the side (2..17) and the step; the rest are big-endian samples.
    const int side = 2 + data[0] % 16;
    const int step = 1 + data[1] % 64;
    srtm::HgtTile tile;
    tile.size = side;
    tile.samples.resize(static_cast<std::size_t>(side) * side, 0);
    for (std::size_t i = 0; i < tile.samples.size() && 2 + 2 * i + 1 < size; ++i)
        tile.samples[i] = static_cast<std::int16_t>(data[2 + 2 * i] << 8 | data[3 + 2 * i]);
    convert::StringSink iso, traced;
    varno::Progress progress;
    // Only levels near the data: a wide range of heights would only repeat the same work.
    int lo = 32767, hi = -32768;
    for (const std::int16_t s : tile.samples)
        if (s != srtm::kVoid) {
            lo = std::min<int>(lo, s);
            hi = std::max<int>(hi, s);
        }
    if (lo <= hi && (hi - lo) / step > 200)
        return 0;
    if (!srtm::isolines(tile, iso, step, progress).ok())
        __builtin_trap();
    srtm::TracerOptions options;
    options.step = step;
    if (!srtm::traceContours(tile, traced, options, progress).ok())
        __builtin_trap();
    for (const std::string* text : {&iso.text, &traced.text}) {
        std::size_t opened = 0, closed = 0;
        for (std::size_t at = 0; (at = text->find("<trkseg>", at)) != std::string::npos; ++at)
            ++opened;
        for (std::size_t at = 0; (at = text->find("</trkseg>", at)) != std::string::npos; ++at)
            ++closed;
        if (opened != closed || text->rfind("</gpx>\n") != text->size() - 7)
            __builtin_trap();
    }
    return 0;
}
