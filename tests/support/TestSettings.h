// Settings over a scratch settings file, with the key, the values and the writes under test control.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/ScratchFiles.h"
#include "settings/Settings.h"

namespace varno::test {

class TestSettings {
    ScratchDir dir_;
    std::string path_ = dir_.file("settings.reg");
    FailingSync sync_{false};

public:
    // An empty settings key; the readers' and writers' messages go to prompt.
    explicit TestSettings(Prompt& prompt) : settings(store, prompt) { store.createKey(settings::kVarnoKey); }

    settings::SettingsStore store{path_, &sync_};
    settings::Settings settings;

    operator settings::Settings&() { return settings; }

    // Values under the settings key, straight in the store.
    static constexpr std::string_view kKey = settings::kVarnoKey;
    void set(const auto& key, std::string_view text) { store.setString(kKey, key.name(), text); }
    void set(const auto& key, std::uint32_t number) { store.setDword(kKey, key.name(), number); }
    void erase(const auto& key) { store.deleteValue(kKey, key.name()); }
    std::optional<settings::Value> get(const auto& key) { return store.get(kKey, key.name()); }
    // Takes the whole settings key away (the file goes).
    void removeKey() { std::filesystem::remove(path_); }
    // Every write fails from now on (until set back).
    void failWrites(bool fail) { sync_.fail = fail; }
};

} // namespace varno::test
