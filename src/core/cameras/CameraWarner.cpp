// The per-fix camera processing: keeps the list fresh, announces distance bands, fills the panel.
#include "cameras/CameraWarner.h"

#include "cameras/CameraDistance.h"

namespace varno::cameras {

CameraWarner::CameraWarner(settings::Settings& settings, Prompt& prompt, VoicePlayer& player,
                           std::string dataRoot)
    : speedUnits(static_cast<int>(settings.read(settings::keys::SpeedUnits))), scale(settings),
      store(settings, prompt, dataRoot), voice(settings, player, dataRoot), specs(settings, voice)
{
    scale.reload();
}

void CameraWarner::reloadCameras(const gps::Fix& fix)
{
    store.LoadCameraList(scale.MapRadius, fix.position);
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
    const double d = store.NearestCamera(fix.position);
    if (d == kNoDistance)
        return;
    if (d > kNoCameraRange) {
        WarningStep = kNoCameraWarningStep;
        panel.clearNoCameras();
        specs.reset();
        return;
    }

    // Down: follow the distance in 100 m steps, then announce the band the
    // pass ended in (one sound per fix however many bands were crossed).
    if (d < WarningStep) {
        while (d < WarningStep && WarningStep > 0)
            WarningStep -= 100.0;
        const long step = static_cast<long>(WarningStep);
        if (step == 0)
            voice.SayDistance(0);
        else if (step >= 100 && step <= 900 && step % 100 == 0)
            voice.SayDistance(WarningStep + 100);
        else if (step == 1400)
            voice.SayDistance(1500);
    }
    // Up: silently, so a band is announced again only after leaving it.
    while (WarningStep + 100 < d)
        WarningStep += 100.0;

    if (!store.CameraListBusy)
        if (const CameraPoint* nearest = store.nearestCamera())
            panel.fill(*nearest, d);

    if (specs.enabled)
        specs.process(store, fix, speedUnits);
}

} // namespace varno::cameras
