// Average-speed ("specs") zones: the driver's own average speed between paired cameras.
#include "cameras/AverageSpeed.h"

#include <cmath>

#include "cameras/CameraDistance.h"
#include "cameras/CameraPoint.h"
#include "cameras/CameraStore.h"
#include "cameras/Voice.h"
#include "cameras/detail/WholeNumber.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Presentation.h"

namespace varno::cameras {

double fixSeconds(const gps::CNmeaDecoder& fix)
{
    return fix.GgaHour * 3600.0 + fix.GgaMinute * 60.0 + fix.GgaSecond;
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
    zoneLat = zoneLon = 0.0;
    startTime = 0.0;
    totalDistance = 0.0;
    say = false;
    line.clear();
}

void AverageSpeed::spaceKey(const gps::CNmeaDecoder& fix)
{
    if (inZone)
        reset();
    else
        handStart(fix);
}

void AverageSpeed::handStart(const gps::CNmeaDecoder& fix)
{
    if (fix.Latitude == 0.0) {
        line = kSpecsNoPositionLine;
        return;
    }
    if (inZone)
        reset();
    prevSpecsDistance = 50000.0;
    restartAt(fixSeconds(fix), fix);
    say = false;
    line = kSpecsStartLine;
    manual = true;
    inZone = true;
}

double AverageSpeed::segment(const gps::CNmeaDecoder& fix) const
{
    double north = std::fabs(fix.Latitude - prevLat) * geo::kMetresPerDegreeNorth;
    double east = std::cos(fix.Latitude * geo::kDegToRad) * std::fabs(fix.Longitude - prevLon) *
                  geo::kMetresPerDegreeEast;
    return std::sqrt(north * north + east * east);
}

void AverageSpeed::advanceTo(const gps::CNmeaDecoder& fix)
{
    prevLat = fix.Latitude;
    prevLon = fix.Longitude;
}

void AverageSpeed::restartAt(double now, const gps::CNmeaDecoder& fix)
{
    startTime = now;
    totalDistance = 0.0;
    advanceTo(fix);
}

bool AverageSpeed::showAverage(double now, int speedUnits, bool trip)
{
    double elapsed = now - startTime;
    if (!(elapsed > 0.0)) {
        // No time has passed (or the UTC day turned over): there is no average
        // to show, only that a measurement is running.
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

void AverageSpeed::sayOnce()
{
    if (say) {
        say = false;
        voice_.PlayVoice("Specs.wav");
    }
}

void AverageSpeed::process(CameraStore& store, const gps::CNmeaDecoder& fix, int speedUnits)
{
    double d = store.NearestSpecsCamera(fix.Latitude, fix.Longitude);
    if (d == kNoDistance)
        return;
    const CameraPoint* cam = store.nearestSpecsCamera();
    if (d == kNoCameraDistance && !manual) {
        reset();
        return;
    }
    const double now = fixSeconds(fix);
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
            zoneLat = cam->lat;
            zoneLon = cam->lon;
            restartAt(now, fix);
            say = true;
            line = kSpecsStartLine;
        }
        return;
    }
    if (cam->lat == zoneLat && cam->lon == zoneLon) {
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
        zoneLat = cam->lat;
        zoneLon = cam->lon;
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
