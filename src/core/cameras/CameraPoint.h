// One camera of the in-memory list: the eight text fields of its camera-file line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "geo/LatLon.h"

namespace varno::cameras {

// Kept characters of each field, in file order (Latitude .. SpeedLimit).
inline constexpr std::size_t kFieldCount = 8;
inline constexpr std::size_t kFieldLimits[kFieldCount] = {14, 14, 14, 25, 57, 25, 3, 3};

struct CameraPoint {
    std::string Latitude;
    std::string Longitude;
    std::string Road;
    std::string Town;
    std::string Hazard;
    std::string CamType;
    std::string Permanent;
    std::string SpeedLimit;

    // The numeric value of Latitude / Longitude (lenient decimal conversion of
    // the kept text; 0 when the text does not start with a number). Every
    // distance of a listed camera is taken from these, as from the texts.
    double lat = 0.0;
    double lon = 0.0;
    double cosLat = 1.0; // cos(lat), worked out once for the per-fix distances

    // lat / lon; a zero in either leaves the camera without a position.
    geo::LatLon position() const { return geo::LatLon::ofPlace(lat, lon); }

    std::string& field(std::size_t i);
    const std::string& field(std::size_t i) const;

    // True when CamType starts with "Specs", letter case aside.
    bool isSpecs() const;

    friend bool operator==(const CameraPoint&, const CameraPoint&) = default;
};

// The record a camera-file line gives: the line is split at every comma (a
// trailing empty field counts); each field loses its leading blanks, then its
// leading double quotes (a closing quote stays), and is cut to its kept length
// without splitting a UTF-8 sequence. Fields after the eighth are ignored.
CameraPoint parseCameraLine(std::string_view line);

} // namespace varno::cameras
