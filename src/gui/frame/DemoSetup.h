// varno --demo: a throwaway data folder and settings file, filled from the bundled demo data.
#pragma once

#include <QString>

namespace varno::settings {
class Settings;
}

struct DemoPlace {
    QString root;         // everything of the demo lives below here
    QString home;         // the data root (VARNO_HOME)
    QString settingsFile; // the settings file (VARNO_SETTINGS)
    QString drive;        // the log the demo replays
    QString trail;        // the GPX trail the demo loads for the trail view
};

// $VARNO_DEMO_DIR, else demo/ in the build tree, or in the user's cache folder
// for an installed program.
DemoPlace demoPlace();

// Starts the demo afresh: forgets the last demo's settings, copies the demo
// camera file, drive, POI file and trail into the data root, and points VARNO_HOME and VARNO_SETTINGS at the
// place. Call before the settings store is made. False with the reason.
bool prepareDemoPlace(const DemoPlace& place, QString* error);

// Every default, then track logging and display on, the demo camera file and the demo POI file, and
// the profile recommended for driving (in mph, the unit of the demo cameras' limits).
bool writeDemoSettings(varno::settings::Settings& settings);
