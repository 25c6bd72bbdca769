// Average-speed ("specs") zones: the driver's own average speed between paired cameras.
#include "cameras/AverageSpeed.h"

#include <cmath>

#include "base/Text.h"

#include "cameras/CameraDistance.h"
#include "cameras/CameraPoint.h"
#include "cameras/CameraStore.h"
#include "cameras/Voice.h"
#include "cameras/detail/WholeNumber.h"
#include "geo/MapGeometry.h"
#include "gps/Presentation.h"

namespace varno::cameras {

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
        return false;
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
        if (d < kSpecsStartDistance) {
            inZone = true;
            zone = cam->position();
            restartAt(now, fix);
            say = true;
            line = kSpecsStartLine;
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
    if (d < kSpecsNextDistance) {
        inZone = true;
        zone = cam->position();
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
