// What a first start sets up beyond the settings: the data folders the settings name, and the
// profile recommended for driving.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace varno::session {

// The data root and the folders the settings name below it (Log, Route,
// Voice, POI, Images), as used on this machine, without repeats.
std::vector<std::string> dataFolders(settings::Settings& settings, std::string_view dataRoot);

// Makes every folder that is missing (with its parents). Returns "folder:
// reason" for each that could not be made; empty when all are there.
std::vector<std::string> makeFolders(const std::vector<std::string>& folders);

// Reads an environment variable; nullptr when it is not set.
using EnvironmentReader = const char* (*)(const char* name);

// The locale that sets the units of measurement: LC_ALL, else LC_MEASUREMENT,
// else LANG, the first that is set and not empty; "" when none is.
std::string measurementLocale(EnvironmentReader read);
// The locale of this process's environment.
std::string measurementLocale();

// SpeedUnits for a locale: mph (0) for English as spoken in the United States
// and Great Britain ("en_US", "en_GB.UTF-8", "en_GB@euro"), km/h (1) for
// every other locale, "C" and "" included.
int speedUnitsForLocale(std::string_view locale);

// What a new profile gets from "Recommended for driving": the driver aids on
// (cameras ahead only, the over-limit chime and colours, the average-speed
// coach), the view scaled to the window, SpeedUnits from the locale, the
// time zone of the system and the dimmed night colours. Every other value stays as it is. False when a
// write failed (the settings have said so).
bool writeRecommendedProfile(settings::Settings& settings, std::string_view locale);

// A profile the first start is still setting up: no settings at all, or the
// welcome page not yet closed (FirstRunPending).
bool isNewProfile(settings::Settings& settings);

} // namespace varno::session
