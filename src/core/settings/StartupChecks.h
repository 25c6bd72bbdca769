// The settings questions asked at start-up: the version check and the first-run set-up.
#pragma once

#include <string_view>

#include "settings/Settings.h"

namespace varno::settings {

inline constexpr std::string_view kLaterVersionMessage =
    "This copy of VARNO is a later version to the\nversion number in the registry.\n"
    "It is reccomended that you run Check Registry\nand then set your options to make sure\n"
    "the registry is up to date.";
inline constexpr std::string_view kSetupQuestion =
    "Setup registry values?\n\nSetup options for this program are\nstored in the registry.\n\n"
    "The first time you run the program\nyou will be asked this question. ";
inline constexpr std::string_view kNoSettingsMessage =
    "The program will not operate without\nsettings in the registry.";

// The settings version this program writes; anything older gets the warning.
inline constexpr int kSettingsVersion = 8;

// Shows the later-version message when the stored Version is below 8 (a
// missing one counts as -1). A profile without settings at all is not
// warned: the first-run question comes next. True when it was shown.
bool runVersionCheck(Settings& settings);

enum class FirstRunResult {
    KeyPresent,      // settings exist; nothing asked
    DefaultsWritten, // the user chose OK and every default was written
    WriteFailed,     // the user chose OK but writing failed (already reported)
    Declined,        // the user chose Cancel and was told the program needs settings
};

// When "Software\VARNO" is missing, asks whether to set up the settings and
// writes every default on OK. The caller reloads what it keeps from the settings.
FirstRunResult runFirstRunCheck(Settings& settings);

} // namespace varno::settings
