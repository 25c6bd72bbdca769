// Settings over a scratch settings file, with the key, the values and the writes under test control.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/FileSync.h"
#include "core/base/ScratchFiles.h"
#include "settings/Settings.h"

namespace varno::test {

class TestSettings {
    class Sync final : public FileSync {
    public:
        bool fail = false;
        bool flushToDisk(std::FILE* f) override { return !fail && std::fflush(f) == 0; }
    };
    ScratchDir dir_;
    std::string path_ = dir_.file("settings.reg");
    Sync sync_;

public:
    // An empty settings key; the readers' and writers' messages go to prompt.
    explicit TestSettings(Prompt& prompt) : settings(store, prompt) { store.createKey(settings::kVarnoKey); }

    settings::SettingsStore store{path_, &sync_};
    settings::Settings settings;

    operator settings::Settings&() { return settings; }

    template <settings::SettingKind Kind> void set(const settings::Key<Kind>& key, std::string_view text)
    {
        store.setString(settings::kVarnoKey, key.name(), text);
    }
    template <settings::SettingKind Kind> void set(const settings::Key<Kind>& key, std::uint32_t number)
    {
        store.setDword(settings::kVarnoKey, key.name(), number);
    }
    template <settings::SettingKind Kind> void erase(const settings::Key<Kind>& key)
    {
        store.deleteValue(settings::kVarnoKey, key.name());
    }
    template <settings::SettingKind Kind> std::optional<settings::Value> get(const settings::Key<Kind>& key)
    {
        return store.get(settings::kVarnoKey, key.name());
    }
    // Takes the whole settings key away (the file goes).
    void removeKey() { std::filesystem::remove(path_); }
    // Every write fails from now on (until set back).
    void failWrites(bool fail) { sync_.fail = fail; }
};

} // namespace varno::test
