// A position in degrees, or no position at all.
#pragma once

namespace varno::geo {

// Latitude and longitude [deg], north and east positive, or "no position".
//
// The program keeps its positions as plain numbers in which a zero stands for
// "none": a fix whose latitude is exactly 0.0 has no position yet, and a camera
// or other object with a zero latitude or longitude is not placed. The two
// named builders turn such numbers into a LatLon by the matching rule; from
// then on "no position" is a state of its own.
class LatLon {
public:
    // No position.
    constexpr LatLon() = default;
    // A position, whatever the numbers are.
    constexpr LatLon(double latDeg, double lonDeg) : latDeg_(latDeg), lonDeg_(lonDeg), known_(true) {}

    // A fix's numbers: no position when the latitude is exactly 0.0.
    static constexpr LatLon ofFix(double latDeg, double lonDeg)
    {
        return latDeg == 0.0 ? LatLon() : LatLon(latDeg, lonDeg);
    }
    // An object's numbers (a camera, a track point): no position when either
    // coordinate is exactly 0.0.
    static constexpr LatLon ofPlace(double latDeg, double lonDeg)
    {
        return latDeg == 0.0 || lonDeg == 0.0 ? LatLon() : LatLon(latDeg, lonDeg);
    }

    constexpr bool known() const { return known_; }
    constexpr explicit operator bool() const { return known_; }
    // [deg] 0.0 for no position, as the program has always stored it.
    constexpr double latDeg() const { return latDeg_; }
    constexpr double lonDeg() const { return lonDeg_; }

    friend constexpr bool operator==(const LatLon&, const LatLon&) = default;

private:
    double latDeg_ = 0.0;
    double lonDeg_ = 0.0;
    bool known_ = false;
};

// Numbers a place on Earth can have: latitude within +-90, longitude within
// +-180 (NaN is neither). Readers of outside files refuse the rest rather than
// pass on a position nobody can be at.
constexpr bool onEarth(double latDeg, double lonDeg)
{
    return latDeg >= -90.0 && latDeg <= 90.0 && lonDeg >= -180.0 && lonDeg <= 180.0;
}

} // namespace varno::geo
