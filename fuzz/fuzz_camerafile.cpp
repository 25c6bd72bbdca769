// Fuzz target: camera file text through the parser, the grid selection and the record fields.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cameras/CameraDistance.h"
#include "cameras/CameraFile.h"
#include "cameras/CameraPoint.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno::cameras;
    CameraFile file(std::string(reinterpret_cast<const char*>(data), size));
    // Selection around the first camera must agree with testing every line.
    if (file.size() == 0)
        return 0;
    const varno::geo::LatLon fix = CameraFile::linePosition(file.line(0));
    if (!fix || !std::isfinite(fix.latDeg()) || !std::isfinite(fix.lonDeg()))
        return 0;
    std::size_t expect = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        double d = CameraDistance(CameraFile::linePosition(file.line(i)), fix);
        if (d != kNoDistance && !std::isnan(d) && !(d > 4000.0))
            ++expect;
        CameraPoint p = parseCameraLine(file.line(i));
        for (std::size_t f = 0; f < kFieldCount; ++f)
            if (p.field(f).size() > kFieldLimits[f])
                __builtin_trap();
    }
    if (file.select(fix, 4000.0).size() != expect)
        __builtin_trap();
    return 0;
}
