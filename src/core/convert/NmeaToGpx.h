// Track points picked from an NMEA log, written as a GPX track or route.
#pragma once

#include <string>
#include <vector>

#include "convert/Convert.h"

namespace varno::convert {

// One picked point as the point list shows it; the writers use these texts.
struct NmeaPoint {
    std::string latitude;  // "%.9f"
    std::string longitude; // "%.9f"
    std::string time;      // "2024-05-01T12:34:56Z"
    std::string elevation; // last GGA altitude before the point, "%1.1f"
    std::string course;    // "%3.f", or "Unknown"
    int row = 0;           // from 1
};

struct NmeaPickOptions {
    bool atDirectionChange = false;
    double degrees = 0.0;
    bool atDistance = false;
    double metres = 0.0;
};

// The points of the valid RMC sentences: the first, then each at least
// `metres` from the last taken one and each that turns at least `degrees`
// from the last course, as checked.
Report pickNmeaPoints(LineInput& log, const NmeaPickOptions& options, std::vector<NmeaPoint>& points,
                      Progress& progress);

inline constexpr char kPointListEmpty[] = "Error: the points list is empty.";

// The whole GPX document for the points.
bool writeGpxTrack(const std::vector<NmeaPoint>& points, Sink& out);
bool writeGpxRoute(const std::vector<NmeaPoint>& points, Sink& out);

} // namespace varno::convert
