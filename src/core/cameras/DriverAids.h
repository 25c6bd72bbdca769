// Driver aids layered on the camera warnings: direction-aware announcements, the over-limit chime and
// the average-speed coach. Each is off unless chosen.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cameras/CameraPoint.h"
#include "geo/LatLon.h"
#include "gps/Fix.h"
#include "settings/Settings.h"

namespace varno::cameras {

class AverageSpeed;
class CameraStore;

// A camera is ahead when the bearing to it is within this many degrees of the course.
inline constexpr double kAheadHalfAngleDeg = 60.0;
// Below this speed [km/h] the course means nothing: no camera counts as ahead,
// and the direction aid warns of every camera as if it were off.
inline constexpr double kHeadingMinKph = 5.0;
// The chime sounds while a camera is this near [m] and the speed is over its limit.
inline constexpr double kChimeRangeM = 500.0;
// ... every this many seconds.
inline constexpr double kChimeRepeatS = 3.0;

// A camera record's Hazard "Direction D" (as the OpenStreetMap converter writes
// it): the camera watches traffic travelling towards D degrees.
inline constexpr std::string_view kDirectionPrefix = "Direction ";
std::optional<double> cameraDirection(const CameraPoint& camera);

struct AidSwitches {
    bool direction = false;
    bool chime = false;
    bool coach = false;

    bool operator==(const AidSwitches&) const = default;
};

// "direction,chime,coach" in any order and case, any subset; "" or "none" is
// none, "all" is all. nullopt when a word is none of these.
std::optional<AidSwitches> parseAidList(std::string_view list);

// The AidDirection, AidChime and AidCoach settings (1 = on).
AidSwitches readAidSwitches(settings::Settings& settings);

// [deg] 0..360 clockwise from north, from one position towards another (over
// the short distances of a camera warning the flat-earth bearing is exact enough).
double bearingDeg(geo::LatLon from, geo::LatLon to);

// True when the fix moves faster than kHeadingMinKph and the camera lies
// within kAheadHalfAngleDeg of its course.
bool headingTowards(const gps::Fix& fix, geo::LatLon camera);

// The speed of the fix in the unit speeds are shown in (SpeedUnits: 0 mph, 1 km/h, 2 knots); a
// camera's SpeedLimit is read in the same unit.
double speedInUnits(double speedKnots, int speedUnits);

// True when the fix moves fast enough for its course to tell ahead from behind.
bool courseKnown(const gps::Fix& fix);

// mayAnnounce for many cameras around one fix with a known course, with the
// course's sine and cosine worked out once: a camera lies within
// kAheadHalfAngleDeg of the course when its offset, on the same flat earth as
// bearingDeg, makes an angle of at most that with the course.
class AheadOf {
public:
    explicit AheadOf(const gps::Fix& fix);
    bool operator()(const CameraPoint& camera) const;

private:
    geo::LatLon at_;
    double course_, sin_, cos_, eastScale_;
};

class DriverAids {
public:
    AidSwitches on;

    // The direction aid's main camera: the one the warnings are about.
    // At a fix with a known course it is the nearest camera ahead (one
    // mayAnnounce takes); without a course it stays what it was at the last
    // fix with one, so a camera passed never comes back as the main warning
    // while the vehicle stands. Before any fix with a course: the nearest.
    struct Ahead {
        bool chosen = false;    // a fix with a course has chosen
        geo::LatLon camera;     // none: no camera ahead
        std::size_t record = 0; // where it was in the list
    };
    Ahead ahead;

    // Whether a distance band of this camera may be announced: always with the
    // direction aid off or while the course is unknown (not faster than
    // kHeadingMinKph, as with a receiver that sends no speed), else only when
    // the vehicle is heading towards it and, for a camera with a direction,
    // travelling within 90 degrees of it.
    bool mayAnnounce(const gps::Fix& fix, const CameraPoint* camera) const;

    struct Result {
        bool chime = false;    // sound the chime now
        bool slowDown = false; // say "slow down" now (once per section)
    };
    // After the warnings of a fix: the nearest camera and its distance [m],
    // the average-speed measurement as it stands after this fix, and the
    // fix's time [s] on a clock that runs on (see AverageSpeed::clock).
    Result afterFix(const gps::Fix& fix, const CameraPoint* nearest, double distance,
                    const CameraStore& store, const AverageSpeed& specs, int speedUnits);

    // Clears what is shown (no camera near any more).
    void clear();

    // Over the limit of a camera within kChimeRangeM (the chime aid): the
    // speed box and the camera's distance show it.
    bool overLimit = false;
    // The average-speed zone's average above the limit of the camera it
    // started at (the chime aid): the average shows it.
    bool averageOverLimit = false;
    // Inside an average-speed section: the speed to hold to the end of it so
    // that the section average ends at the limit; empty elsewhere.
    std::string coachLine;

private:
    void coach(const gps::Fix& fix, const CameraStore& store, const AverageSpeed& specs, int speedUnits,
               Result& result);

    // The section being driven: where it starts and ends, and its limit.
    struct Section {
        geo::LatLon start, end; // end: none while no camera ahead was found
        int limit = 0;
    };
    std::optional<Section> section_;
    std::optional<double> lastChime_;
    std::optional<geo::LatLon> slowDownSaidFor_; // the section start "slow down" was said in
};

} // namespace varno::cameras
