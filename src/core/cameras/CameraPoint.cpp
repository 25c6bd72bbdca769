// One camera of the in-memory list: the eight text fields of its camera-file line.
#include "cameras/CameraPoint.h"

#include <cmath>

#include "base/Numbers.h"
#include "geo/MapGeometry.h"
#include "base/AsciiCase.h"
#include "base/Text.h"

namespace varno::cameras {

std::string& CameraPoint::field(std::size_t i)
{
    switch (i) {
    case 0:
        return Latitude;
    case 1:
        return Longitude;
    case 2:
        return Road;
    case 3:
        return Town;
    case 4:
        return Hazard;
    case 5:
        return CamType;
    case 6:
        return Permanent;
    default:
        return SpeedLimit;
    }
}

const std::string& CameraPoint::field(std::size_t i) const
{
    return const_cast<CameraPoint*>(this)->field(i);
}

bool CameraPoint::isSpecs() const
{
    return startsWithNoCase(CamType, "specs");
}

CameraPoint parseCameraLine(std::string_view line)
{
    CameraPoint p;
    std::size_t start = 0;
    for (std::size_t i = 0; i < kFieldCount && start <= line.size(); ++i) {
        std::size_t comma = line.find(',', start);
        // The line is read as if one comma were appended: the last field ends at
        // the line's end, and there is no field beyond it.
        std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        std::string_view f = line.substr(start, end - start);
        while (!f.empty() && (f.front() == ' ' || f.front() == '\t'))
            f.remove_prefix(1);
        while (!f.empty() && f.front() == '"')
            f.remove_prefix(1);
        p.field(i).assign(cutText(f, kFieldLimits[i]));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    p.lat = leadingDouble(p.Latitude);
    p.lon = leadingDouble(p.Longitude);
    p.cosLat = std::cos(p.lat * geo::kDegToRad);
    return p;
}

} // namespace varno::cameras
