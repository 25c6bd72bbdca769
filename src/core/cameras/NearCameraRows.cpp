// The rows of the "Camera List" dialog for the cameras now in memory.
#include "cameras/NearCameraRows.h"

#include <cmath>

#include <fmt/printf.h>

namespace varno::cameras {

std::vector<NearCameraRow> nearCameraRows(const CameraList& list, geo::LatLon fix)
{
    std::vector<NearCameraRow> rows;
    if (!list) {
        rows.push_back({"Camera list is empty"});
        return rows;
    }
    const geo::LatLon from = geo::LatLon::ofPlace(fix.latDeg(), fix.lonDeg());
    for (const CameraPoint& c : *list) {
        NearCameraRow row;
        if (!c.position() || !from) {
            row[0] = "empty";
        } else {
            double north = (c.lat - from.latDeg()) * 110945.90800966838;
            double east = (c.lon - from.lonDeg()) * 111319.14001027387;
            row[0] = fmt::sprintf("%.3f km", std::sqrt(east * east + north * north) / 1000);
        }
        row[1] = c.Latitude;
        row[2] = c.Longitude;
        row[3] = c.CamType;
        row[4] = c.Road;
        row[5] = c.Town;
        row[6] = c.Hazard;
        row[7] = c.Permanent;
        row[8] = c.SpeedLimit;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace varno::cameras
