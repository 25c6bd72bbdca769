// The per-fix camera processing: keeps the list fresh, announces distance bands, fills the panel.
#pragma once

#include <functional>
#include <string>

#include "base/Prompt.h"
#include "cameras/AverageSpeed.h"
#include "cameras/CameraPanel.h"
#include "cameras/CameraStore.h"
#include "cameras/DriverAids.h"
#include "cameras/Voice.h"
#include "cameras/VoicePlayer.h"
#include "settings/Settings.h"
#include "geo/MapScale.h"
#include "gps/Fix.h"

namespace varno::cameras {

// WarningStep at start-up, and after "No cameras are in the map area".
inline constexpr double kInitialWarningStep = 2000.0;
inline constexpr double kNoCameraWarningStep = 2200.0;
// A nearest camera farther than this [m] counts as none.
inline constexpr double kNoCameraRange = 10000.0;
// CameraReloadCount above this reloads the list on the next fix.
inline constexpr int kReloadThreshold = 60;
// Set by commands that change the view or the data, so the next fix reloads.
inline constexpr int kForceReloadCount = 71;
// Set when a log replay starts: the cameras around it load soon.
inline constexpr int kReplayReloadCount = 58;

// Everything camera-related the view owns, wired together.
class CameraWarner {
public:
    CameraWarner(settings::Settings& settings, Prompt& prompt, VoicePlayer& player, std::string dataRoot);

    // Once per position sentence, on the fix as it stands (the previous
    // sentence's). Reloads the list every 62nd fix, moves WarningStep, plays at
    // most one distance file, fills the panel and runs the average speed.
    void UpdateCameraWarnings(const gps::Fix& fix);

    // Rebuilds the camera list for the current MapRadius ("Load camera file",
    // switching to the camera map, after a zoom when the POI view is not shown).
    void reloadCameras(const gps::Fix& fix);
    // Commands that change the view or the data: reload on the next fix.
    void forceReload() { store.CameraReloadCount = kForceReloadCount; }
    // A log replay starts, and ends (by itself or cancelled).
    void replayStarted()
    {
        store.CameraReloadCount = kReplayReloadCount;
        store.beginReplay();
    }
    void replayEnded() { store.endReplay(); }

    // Zoom commands. True when MapRadius changed: the caller then rebuilds the
    // POI list when the POI view is shown, else calls reloadCameras, and redraws.
    bool zoomIn() { return scale.zoomIn(); }
    bool zoomOut() { return scale.zoomOut(); }

    // The space key ("Clear or start specs line").
    void spaceKey(const gps::Fix& fix) { specs.spaceKey(fix); }
    // Any of the Mute commands.
    void toggleMute() { voice.toggleMute(); }

    // SpeedUnits as the view keeps it (read at start; the caller refreshes it
    // after Check Registry and the Speed Setup dialog).
    int speedUnits = 0;
    double WarningStep = kInitialWarningStep;
    CameraPanelText panel;

    geo::MapScale scale;
    CameraStore store;
    Voice voice;
    AverageSpeed specs;
    // Off unless chosen (the Aid settings, read at start; varno-cli --aids).
    DriverAids aids;
    // A distance band the direction aid kept quiet (for the replay's listing).
    std::function<void(const CameraPoint& camera, double band)> onSilenced;

    // Runs just before the periodic reload of the camera list; the view uses
    // it to rebuild the POI list while the POI view is shown.
    std::function<void()> beforePeriodicReload;

private:
    // The direction aid's main camera (see DriverAids::Ahead), which becomes
    // the store's nearestCamera(); [m] to it, kNoCameraDistance when none is ahead.
    double mainCamera(const gps::Fix& fix, double nearestDistance);
    // The distance bands and the panel for the main camera at d [m].
    void warnAt(const gps::Fix& fix, double d);
};

} // namespace varno::cameras
