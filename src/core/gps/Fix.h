// The current fix: what the rest of the program reads of the decoded sentences.
#pragma once

#include <cstdint>

#include "geo/LatLon.h"

namespace varno::gps {

// Position, UTC time and altitude of the last GGA, speed and course of the
// last RMC.
struct Fix {
    geo::LatLon position;                                   // no position until a latitude other than 0.0
    std::uint8_t hourUtc = 0, minuteUtc = 0, secondUtc = 0; // of the GGA, fractions dropped
    double altitudeM = 0.0;                                 // [m] antenna altitude as sent
    double speedKnots = 0.0;                                // [kn] over ground
    double courseDeg = 0.0;                                 // [deg] true
    // The date of the last RMC (UTC); year 0 until a valid one came.
    std::uint16_t yearUtc = 0;
    std::uint8_t monthUtc = 0, dayUtc = 0;

    friend bool operator==(const Fix&, const Fix&) = default;
};

} // namespace varno::gps
