// The settings questions asked at start-up: the version check and the first-run set-up.
#include "settings/StartupChecks.h"

namespace varno::settings {

bool runVersionCheck(Settings& settings)
{
    // A fresh profile has nothing to check: the first-run question follows.
    if (!settings.keyExists())
        return false;
    if (settings.read(keys::Version) >= kSettingsVersion)
        return false;
    settings.prompt().message(std::string(kLaterVersionMessage));
    return true;
}

FirstRunResult runFirstRunCheck(Settings& settings)
{
    if (settings.keyExists())
        return FirstRunResult::KeyPresent;
    PromptAnswer answer =
        settings.prompt().show(std::string(kSetupQuestion), PromptButtons::OkCancel, PromptIcon::Question);
    if (answer != PromptAnswer::Ok) {
        settings.prompt().message(std::string(kNoSettingsMessage));
        return FirstRunResult::Declined;
    }
    return settings.writeDefaults() ? FirstRunResult::DefaultsWritten : FirstRunResult::WriteFailed;
}

} // namespace varno::settings
