// Driver aids layered on the camera warnings: direction-aware announcements, the over-limit chime and
// the average-speed coach. Each is off unless chosen.
#include "cameras/DriverAids.h"

#include <cmath>
#include <numbers>

#include <fmt/format.h>

#include "base/AsciiCase.h"
#include "base/Numbers.h"
#include "cameras/AverageSpeed.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraStore.h"
#include "gps/Presentation.h"

namespace varno::cameras {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

// [m/s] of one unit of the shown speed.
double metresPerSecondPerUnit(int speedUnits)
{
    if (speedUnits == gps::kSpeedUnitsKph)
        return 1000.0 / 3600.0;
    if (speedUnits == gps::kSpeedUnitsKnots)
        return 1852.0 / 3600.0;
    return 1609.344 / 3600.0;
}

const char* unitName(int speedUnits)
{
    return speedUnits == gps::kSpeedUnitsKph ? "km/h" : speedUnits == gps::kSpeedUnitsKnots ? "knots" : "mph";
}

// The camera's limit as a number; 0 when it has none.
int limitOf(const CameraPoint& camera)
{
    const int limit = leadingInt(camera.SpeedLimit);
    return limit > 0 ? limit : 0;
}

} // namespace

std::optional<AidSwitches> parseAidList(std::string_view list)
{
    AidSwitches s;
    if (list.empty() || equalsNoCase(list, "none"))
        return s;
    if (equalsNoCase(list, "all"))
        return AidSwitches{true, true, true};
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        if (equalsNoCase(word, "direction"))
            s.direction = true;
        else if (equalsNoCase(word, "chime"))
            s.chime = true;
        else if (equalsNoCase(word, "coach"))
            s.coach = true;
        else
            return std::nullopt;
        if (comma == std::string_view::npos)
            return s;
        list.remove_prefix(comma + 1);
    }
}

AidSwitches readAidSwitches(settings::Settings& settings)
{
    namespace keys = settings::keys;
    return {settings.read(keys::AidDirection) == 1, settings.read(keys::AidChime) == 1,
            settings.read(keys::AidCoach) == 1};
}

double bearingDeg(geo::LatLon from, geo::LatLon to)
{
    const double north = to.latDeg() - from.latDeg();
    const double east = (to.lonDeg() - from.lonDeg()) * std::cos(from.latDeg() * kDegToRad);
    const double deg = std::atan2(east, north) / kDegToRad;
    return deg < 0.0 ? deg + 360.0 : deg;
}

bool headingTowards(const gps::Fix& fix, geo::LatLon camera)
{
    if (!fix.position || !camera || !(fix.speedKnots * gps::kKnotsToKph > kHeadingMinKph))
        return false;
    double off = std::fmod(std::fabs(bearingDeg(fix.position, camera) - fix.courseDeg), 360.0);
    if (off > 180.0)
        off = 360.0 - off;
    return off <= kAheadHalfAngleDeg;
}

double speedInUnits(double speedKnots, int speedUnits)
{
    return speedKnots * (1852.0 / 3600.0) / metresPerSecondPerUnit(speedUnits);
}

std::optional<double> cameraDirection(const CameraPoint& camera)
{
    const std::string_view hazard = camera.Hazard;
    if (!hazard.starts_with(kDirectionPrefix))
        return std::nullopt;
    const std::string_view digits = hazard.substr(kDirectionPrefix.size());
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return std::nullopt;
    return std::fmod(leadingInt(digits), 360);
}

bool courseKnown(const gps::Fix& fix)
{
    return fix.speedKnots * gps::kKnotsToKph > kHeadingMinKph;
}

AheadOf::AheadOf(const gps::Fix& fix)
    : at_(fix.position), course_(fix.courseDeg), sin_(std::sin(fix.courseDeg * kDegToRad)),
      cos_(std::cos(fix.courseDeg * kDegToRad)), eastScale_(std::cos(fix.position.latDeg() * kDegToRad))
{
}

bool AheadOf::operator()(const CameraPoint& camera) const
{
    const geo::LatLon c = camera.position();
    if (!c)
        return false;
    const double north = c.latDeg() - at_.latDeg();
    const double east = (c.lonDeg() - at_.lonDeg()) * eastScale_;
    // cos(60°) = 0.5: along the course at least half the distance.
    static_assert(kAheadHalfAngleDeg == 60.0);
    const double along = east * sin_ + north * cos_;
    if (!(along >= 0.0 && along * along >= 0.25 * (north * north + east * east)))
        return false;
    if (!camera.Hazard.starts_with(kDirectionPrefix))
        return true;
    const std::optional<double> watched = cameraDirection(camera);
    if (!watched)
        return true;
    double off = std::fmod(std::fabs(*watched - course_), 360.0);
    return (off > 180.0 ? 360.0 - off : off) <= 90.0;
}

bool DriverAids::mayAnnounce(const gps::Fix& fix, const CameraPoint* camera) const
{
    if (!on.direction || !camera)
        return true;
    // Without a course to trust (standing, creeping, or a receiver that sends
    // no speed or course at all) the aid cannot tell ahead from behind: warn
    // as without it rather than stay silent.
    if (!courseKnown(fix))
        return true;
    if (!headingTowards(fix, camera->position()))
        return false;
    const std::optional<double> watched = cameraDirection(*camera);
    if (!watched)
        return true;
    double off = std::fmod(std::fabs(*watched - fix.courseDeg), 360.0);
    return (off > 180.0 ? 360.0 - off : off) <= 90.0;
}

void DriverAids::clear()
{
    overLimit = false;
    averageOverLimit = false;
    ahead = {};
    coachLine.clear();
    lastChime_.reset();
}

DriverAids::Result DriverAids::afterFix(const gps::Fix& fix, const CameraPoint* nearest, double distance,
                                        const CameraStore& store, const AverageSpeed& specs, int speedUnits)
{
    Result result;
    const double now = fixSeconds(fix);
    if (on.chime) {
        const int limit = nearest ? limitOf(*nearest) : 0;
        overLimit = limit > 0 && distance >= 0.0 && distance <= kChimeRangeM &&
                    speedInUnits(fix.speedKnots, speedUnits) > limit;
        if (!overLimit) {
            lastChime_.reset();
        } else if (!lastChime_ || now - *lastChime_ >= kChimeRepeatS || now < *lastChime_) {
            // A clock that went back (midnight, a replayed log) chimes rather than staying silent.
            result.chime = true;
            lastChime_ = now;
        }
    }
    if (on.chime)
        averageOverLimit = specs.average >= 0.0 && specs.zoneLimit > 0 &&
                           specs.average > specs.zoneLimit * metresPerSecondPerUnit(speedUnits);
    if (on.coach)
        coach(fix, store, specs, speedUnits, result);
    return result;
}

void DriverAids::coach(const gps::Fix& fix, const CameraStore& store, const AverageSpeed& specs,
                       int speedUnits, Result& result)
{
    coachLine.clear();
    if (!specs.inZone || specs.manual || !store.cameras()) {
        slowDownSaidFor_.reset();
        section_.reset();
        return;
    }
    // The section runs from the camera the measurement started at to the
    // nearest other average-speed camera ahead; found once per section (the
    // list is searched again only while no end is known).
    if (!section_ || section_->start != specs.zone || !section_->end) {
        Section found{specs.zone, {}, 0};
        double nearest = 0.0;
        for (const CameraPoint& c : *store.cameras()) {
            if (!c.isSpecs() || !c.position())
                continue;
            if (c.position() == specs.zone) {
                found.limit = found.limit ? found.limit : limitOf(c);
                continue;
            }
            const double d = CameraDistance(c, fix.position);
            if (d >= 0.0 && (!found.end || d < nearest) && headingTowards(fix, c.position()))
                found.end = c.position(), nearest = d;
        }
        section_ = found;
    }
    const int limit = section_->limit;
    const double elapsed = specs.clock() - specs.startTime;
    if (limit == 0 || !(elapsed > 0.0) || !(specs.totalDistance > 0.0))
        return;
    const double limitMs = limit * metresPerSecondPerUnit(speedUnits);
    if (specs.totalDistance / elapsed > limitMs && slowDownSaidFor_ != specs.zone) {
        result.slowDown = true;
        slowDownSaidFor_ = specs.zone;
    }
    // Without a course (a receiver that sends no RMC) the end is unknown.
    if (!section_->end)
        return;
    const double remaining = CameraDistance(section_->end, fix.position);
    if (remaining < 0.0)
        return;
    // Time left for the rest at the limit's average; time already spent
    // beyond it leaves any speed up to the limit.
    const double timeLeft = (specs.totalDistance + remaining) / limitMs - elapsed;
    const double hold = timeLeft > 0.0 ? std::min(remaining / timeLeft, limitMs) : limitMs;
    coachLine = fmt::format("Hold {:.0f} {} to the section end", hold / metresPerSecondPerUnit(speedUnits),
                            unitName(speedUnits));
}

} // namespace varno::cameras
