// One track of the editor: an NMEA log named by the map file, or a way or track
// segment loaded from OSM or GPX data for display only.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varno::trackedit {

struct TrackPoint {
    double latDeg = 0.0;
    double lonDeg = 0.0;
    friend bool operator==(const TrackPoint&, const TrackPoint&) = default;
};

struct TrackExtent {
    double minLatDeg = 0.0;
    double maxLatDeg = 0.0;
    double minLonDeg = 0.0;
    double maxLonDeg = 0.0;
    bool empty = true;
};

struct TrackEntry {
    std::optional<std::string> description; // none: drawn with the default pen
    std::optional<std::string> path;        // the NMEA log; none for loaded OSM/GPX data
    bool loaded = false;                    // points are held, so the track is drawn
    std::vector<TrackPoint> points;         // in log (or way) order
    TrackExtent extent;                     // of points, kept by updateExtent()

    void updateExtent()
    {
        extent = {};
        for (const TrackPoint& p : points) {
            if (extent.empty) {
                extent = {p.latDeg, p.latDeg, p.lonDeg, p.lonDeg, false};
                continue;
            }
            extent.minLatDeg = p.latDeg < extent.minLatDeg ? p.latDeg : extent.minLatDeg;
            extent.maxLatDeg = p.latDeg > extent.maxLatDeg ? p.latDeg : extent.maxLatDeg;
            extent.minLonDeg = p.lonDeg < extent.minLonDeg ? p.lonDeg : extent.minLonDeg;
            extent.maxLonDeg = p.lonDeg > extent.maxLonDeg ? p.lonDeg : extent.maxLonDeg;
        }
    }
};

} // namespace varno::trackedit
