// Fuzz target: POI file text through the index, the selection and the line fields.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cameras/CameraDistance.h"
#include "poi/PoiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno::poi;
    PoiFile file(std::string(reinterpret_cast<const char*>(data), size));
    if (file.size() == 0)
        return 0;
    const varno::geo::LatLon fix = PoiFile::linePosition(file.line(0));
    // The selection around the first POI must agree with testing every line.
    std::size_t expect = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const double d = varno::cameras::CameraDistance(PoiFile::linePosition(file.line(i)), fix);
        if (d != varno::cameras::kNoDistance && d <= 4000.0)
            ++expect;
        const PoiPoint p = parsePoiLine(file.line(i));
        if (p.lonText.size() > kCoordinateTextLimit || p.latText.size() > kCoordinateTextLimit ||
            p.description.size() > kDescriptionLimit || p.fourth.size() > kFourthLimit)
            __builtin_trap();
    }
    if (file.select(fix, 4000.0).size() != expect)
        __builtin_trap();
    return 0;
}
