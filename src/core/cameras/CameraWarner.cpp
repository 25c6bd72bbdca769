// The per-fix camera processing: keeps the list fresh, announces distance bands, fills the panel.
#include "cameras/CameraWarner.h"

#include "cameras/CameraDistance.h"

namespace varno::cameras {

CameraWarner::CameraWarner(settings::Settings& settings, Prompt& prompt, VoicePlayer& player,
                           std::string dataRoot)
    : speedUnits(static_cast<int>(settings.read(settings::keys::SpeedUnits))), scale(settings),
      store(settings, prompt, dataRoot), voice(settings, player, dataRoot), specs(settings, voice)
{
    aids.on = readAidSwitches(settings);
    scale.reload();
}

void CameraWarner::reloadCameras(const gps::Fix& fix)
{
    store.LoadCameraList(scale.MapRadius, fix.position);
}

double CameraWarner::mainCamera(const gps::Fix& fix, double nearestDistance)
{
    DriverAids::Ahead& ahead = aids.ahead;
    if (courseKnown(fix)) {
        const double d = store.NearestCameraWhere(fix.position, AheadOf(fix));
        const CameraPoint* camera = store.nearestCamera();
        ahead = {true, camera ? camera->position() : geo::LatLon{}, store.nearestIndex().value_or(0)};
        return d;
    }
    if (!ahead.chosen)
        return nearestDistance;
    if (!ahead.camera) {
        store.forgetNearest(); // none ahead
        return kNoCameraDistance;
    }
    const double d = store.SelectCameraAt(ahead.camera, fix.position, ahead.record);
    if (d != kNoCameraDistance) {
        ahead.record = store.nearestIndex().value_or(0);
        return d;
    }
    // The camera is no longer listed: the nearest stands in until a course chooses again.
    ahead = {};
    return store.NearestCamera(fix.position);
}

void CameraWarner::UpdateCameraWarnings(const gps::Fix& fix)
{
    if (store.CameraListBusy)
        return;
    if (store.CameraReloadCount > kReloadThreshold) {
        if (beforePeriodicReload)
            beforePeriodicReload();
        reloadCameras(fix);
    } else {
        ++store.CameraReloadCount;
    }
    if (!fix.position)
        return;
    double d = store.NearestCamera(fix.position);
    if (d == kNoDistance)
        return;
    if (d > kNoCameraRange) {
        WarningStep = kNoCameraWarningStep;
        panel.clearNoCameras();
        specs.reset();
        aids.clear();
        return;
    }

    // The direction aid warns of the nearest camera ahead; when none is, the
    // bands rest as after "No cameras are in the map area".
    if (aids.on.direction)
        d = mainCamera(fix, d);
    if (d > kNoCameraRange || d < 0.0) { // d < 0: no distance to the camera chosen
        WarningStep = kNoCameraWarningStep;
        panel.clearNoneAhead();
        d = kNoDistance;
    } else {
        warnAt(fix, d);
    }

    // The coach needs the section measurement, whether or not its line was asked for.
    specs.words = specs.stopAtEnd = aids.on.coach;
    if (specs.enabled || aids.on.coach)
        specs.process(store, fix, speedUnits);

    if (aids.on.chime || aids.on.coach) {
        const DriverAids::Result r = aids.afterFix(fix, store.nearestCamera(), d, store, specs, speedUnits);
        if (r.chime)
            voice.PlayVoice("Chime.wav");
        if (r.slowDown)
            voice.PlayVoice("SlowDown.wav");
    }
}

void CameraWarner::warnAt(const gps::Fix& fix, double d)
{
    // Down: follow the distance in 100 m steps, then announce the band the
    // pass ended in (one sound per fix however many bands were crossed).
    if (d < WarningStep) {
        while (d < WarningStep && WarningStep > 0)
            WarningStep -= 100.0;
        const long step = static_cast<long>(WarningStep);
        const double band = step == 0                                       ? 0.0
                            : step >= 100 && step <= 900 && step % 100 == 0 ? WarningStep + 100
                            : step == 1400                                  ? 1500.0
                                                                            : -1.0;
        const CameraPoint* nearest = store.nearestCamera();
        if (band >= 0.0 && aids.mayAnnounce(fix, nearest))
            voice.SayDistance(band);
        else if (band >= 0.0 && nearest && onSilenced)
            onSilenced(*nearest, band);
    }
    // Up: silently, so a band is announced again only after leaving it.
    while (WarningStep + 100 < d)
        WarningStep += 100.0;

    if (!store.CameraListBusy)
        if (const CameraPoint* nearest = store.nearestCamera())
            panel.fill(*nearest, d);
}

} // namespace varno::cameras
