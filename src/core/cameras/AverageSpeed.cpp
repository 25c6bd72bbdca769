// Average-speed ("specs") zones: the driver's own average speed between paired cameras.
#include "cameras/AverageSpeed.h"

#include <cmath>

#include "base/Numbers.h"
#include "base/Text.h"

#include "cameras/CameraDistance.h"
#include "cameras/CameraPoint.h"
#include "cameras/CameraStore.h"
#include "cameras/DriverAids.h"
#include "cameras/Voice.h"
#include "cameras/detail/WholeNumber.h"
#include "geo/MapGeometry.h"
#include "gps/Presentation.h"

namespace varno::cameras {

namespace {

int limitOf(const CameraPoint& camera)
{
    const int limit = leadingInt(camera.SpeedLimit);
    return limit > 0 ? limit : 0;
}

// [m/s] of one unit of the shown speed, and the unit's name in the words form.
double metresPerSecondPerUnit(int speedUnits)
{
    return speedUnits == 1 ? 1000.0 / 3600.0 : speedUnits == 2 ? 1852.0 / 3600.0 : 1609.344 / 3600.0;
}

const char* wordsUnit(int speedUnits)
{
    return speedUnits == 1 ? " km/h" : speedUnits == 2 ? " knots" : " mph";
}

} // namespace

double fixSeconds(const gps::Fix& fix)
{
    return fix.hourUtc * 3600.0 + fix.minuteUtc * 60.0 + fix.secondUtc;
}

AverageSpeed::AverageSpeed(settings::Settings& settings, Voice& voice) : settings_(settings), voice_(voice)
{
    reset();
}

void AverageSpeed::reset()
{
    enabled = settings_.read(settings::keys::AverageSpeed) == 1;
    manual = false;
    inZone = false;
    zone = {};
    startTime = 0.0;
    totalDistance = 0.0;
    say = false;
    line.clear();
    average = -1.0;
    zoneLimit = 0;
    endedAt_ = {};
}

void AverageSpeed::spaceKey(const gps::Fix& fix)
{
    if (inZone)
        reset();
    else
        handStart(fix);
}

void AverageSpeed::handStart(const gps::Fix& fix)
{
    if (!fix.position) {
        line = kSpecsNoPositionLine;
        return;
    }
    if (inZone)
        reset();
    prevSpecsDistance = 50000.0;
    restartAt(clockAt(fix), fix);
    say = false;
    line = kSpecsStartLine;
    average = -1.0;
    zoneLimit = 0;
    manual = true;
    inZone = true;
}

double AverageSpeed::segment(const gps::Fix& fix) const
{
    const geo::LatLon at = fix.position;
    double north = std::fabs(at.latDeg() - prev.latDeg()) * geo::kMetresPerDegreeNorth;
    double east = std::cos(at.latDeg() * geo::kDegToRad) * std::fabs(at.lonDeg() - prev.lonDeg()) *
                  geo::kMetresPerDegreeEast;
    return std::sqrt(north * north + east * east);
}

void AverageSpeed::advanceTo(const gps::Fix& fix)
{
    prev = fix.position;
}

void AverageSpeed::restartAt(double now, const gps::Fix& fix)
{
    startTime = now;
    totalDistance = 0.0;
    advanceTo(fix);
}

bool AverageSpeed::showAverage(double now, int speedUnits, bool trip)
{
    double elapsed = now - startTime;
    if (!(elapsed > 0.0)) {
        // No time has passed (or the fix time went back): there is no
        // average to show, only that a measurement is running.
        line = kSpecsStartLine;
        this->average = -1.0;
        return false;
    }
    this->average = totalDistance / elapsed;
    if (words) {
        wordsLine(elapsed, this->average, speedUnits, trip);
        return true;
    }
    double average = totalDistance * 3600.0 / elapsed; // [m/h]
    // Written into the line's own storage: while a measurement runs this is every fix.
    line.clear();
    if (speedUnits == 1) {
        line += "Average speed ";
        detail::appendWholeNumber(line, average * gps::kMetresToKilometres);
        line += " kph";
    } else if (speedUnits == 2) {
        line += "Average speed ";
        detail::appendWholeNumber(line, average * gps::kMetresToNauticalMiles);
        line += " knots";
    } else {
        line += trip ? "Trip T " : "T ";
        detail::appendWholeNumber(line, elapsed);
        line += ", D ";
        detail::appendWholeNumber(line, totalDistance);
        line += ", Av ";
        detail::appendWholeNumber(line, average * gps::kMetresToMiles);
        line += " mph";
    }
    line.resize(cutText(line, kAverageLineCapacity).size());
    return true;
}

void AverageSpeed::wordsLine(double elapsed, double averageMs, int speedUnits, bool trip)
{
    line.clear();
    line += trip ? "Trip avg " : "Avg ";
    detail::appendWholeNumber(line, averageMs / metresPerSecondPerUnit(speedUnits));
    line += wordsUnit(speedUnits);
    line += " over ";
    if (totalDistance < 999.5) {
        detail::appendWholeNumber(line, totalDistance);
        line += " m, ";
    } else {
        // Tenths of a kilometre.
        const double tenths = std::round(totalDistance / 100.0);
        detail::appendWholeNumber(line, std::floor(tenths / 10.0));
        line += '.';
        detail::appendWholeNumber(line, std::fmod(tenths, 10.0));
        line += " km, ";
    }
    const double seconds = std::round(elapsed);
    if (seconds >= 60.0) {
        detail::appendWholeNumber(line, std::floor(seconds / 60.0));
        line += " min ";
        detail::appendWholeNumber(line, std::fmod(seconds, 60.0));
    } else {
        detail::appendWholeNumber(line, seconds);
    }
    line += " s";
    line.resize(cutText(line, kAverageLineCapacity).size());
}

bool AverageSpeed::endsStretch(const CameraStore& store, const CameraPoint& reached,
                               const gps::Fix& fix) const
{
    if (!store.cameras())
        return true;
    const bool course = courseKnown(fix);
    for (const CameraPoint& c : *store.cameras()) {
        if (!c.isSpecs() || !c.position() || c.position() == reached.position() || c.position() == zone)
            continue;
        // Without a course any other specs camera may be the next of the stretch.
        if (!course || headingTowards(fix, c.position()))
            return false;
    }
    return true;
}

double AverageSpeed::clockAt(const gps::Fix& fix)
{
    constexpr double kDay = 24 * 3600.0;
    const double timeOfDay = fixSeconds(fix);
    if (lastTimeOfDay_ >= 0.0) {
        if (timeOfDay < lastTimeOfDay_ - kDay / 2)
            days_ += 1.0;
        else if (timeOfDay > lastTimeOfDay_ + kDay / 2)
            days_ -= 1.0;
    }
    lastTimeOfDay_ = timeOfDay;
    return days_ * kDay + timeOfDay;
}

void AverageSpeed::sayOnce()
{
    if (say) {
        say = false;
        voice_.PlayVoice("Specs.wav");
    }
}

void AverageSpeed::process(CameraStore& store, const gps::Fix& fix, int speedUnits)
{
    // Every fix keeps the clock, so that it sees midnight pass.
    const double now = clockAt(fix);
    double d = store.NearestSpecsCamera(fix.position);
    if (d == kNoDistance)
        return;
    const CameraPoint* cam = store.nearestSpecsCamera();
    if (d == kNoCameraDistance && !manual) {
        reset();
        return;
    }
    if (!cam) {
        if (manual) {
            // Trip mode: a hand start with no specs camera listed.
            totalDistance += segment(fix);
            showAverage(now, speedUnits, true);
            advanceTo(fix);
        }
        return;
    }
    if (!inZone) {
        prevSpecsDistance = d;
        if (endedAt_) {
            // The camera a measurement ended at starts none: its final average
            // stays until it is left behind.
            if (cam->position() == endedAt_ && d <= kSpecsStartDistance)
                return;
            endedAt_ = {};
            line.clear();
            average = -1.0;
        }
        if (d < kSpecsStartDistance) {
            inZone = true;
            zone = cam->position();
            zoneLimit = limitOf(*cam);
            restartAt(now, fix);
            say = true;
            line = kSpecsStartLine;
            average = -1.0;
        }
        return;
    }
    if (cam->position() == zone) {
        if (prevSpecsDistance + kSpecsJitter < d || d > kSpecsStartDistance) {
            // Past the camera and moving away: the measurement runs.
            totalDistance += segment(fix);
            if (showAverage(now, speedUnits, false))
                sayOnce();
            prevSpecsDistance = d;
            advanceTo(fix);
        } else if (d + kSpecsJitter < prevSpecsDistance) {
            // Still closing in on the first camera: the clock starts again.
            restartAt(now, fix);
            prevSpecsDistance = d;
            line = kSpecsStartLine;
            average = -1.0;
        }
        return;
    }
    // Another specs camera is nearest: the next one of the stretch.
    double seg = segment(fix);
    if (seg < kSpecsJitter)
        return;
    totalDistance += seg;
    advanceTo(fix);
    if (showAverage(now, speedUnits, false))
        sayOnce();
    if (d < kSpecsNextDistance && stopAtEnd && !manual && endsStretch(store, *cam, fix)) {
        // The end of the stretch: the average just shown is the final one.
        inZone = false;
        zone = {};
        endedAt_ = cam->position();
    } else if (d < kSpecsNextDistance) {
        inZone = true;
        zone = cam->position();
        zoneLimit = limitOf(*cam);
        restartAt(now, fix);
    }
    prevSpecsDistance = d;
}

bool AverageSpeed::dialogChecked() const
{
    return settings_.read(settings::keys::AverageSpeed) == 1;
}

bool AverageSpeed::storeDialogChoice(bool checked)
{
    return settings_.write(settings::keys::AverageSpeed, checked ? 1u : 0u);
}

} // namespace varno::cameras
