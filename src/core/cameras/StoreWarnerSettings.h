// The camera warner's settings read from and written to the settings file.
#pragma once

#include "cameras/WarnerSettings.h"
#include "settings/SettingsStore.h"

namespace varno::cameras {

class StoreWarnerSettings final : public WarnerSettings {
public:
    explicit StoreWarnerSettings(settings::SettingsStore& store) : store_(store) {}

    bool keyExists() const override;
    std::optional<std::uint32_t> readDword(const char* name) const override;
    std::optional<std::string> readString(const char* name) const override;
    bool writeDword(const char* name, std::uint32_t value) override;
    geo::ScaleWrite writeMapScale(std::uint32_t metres) override;

private:
    settings::SettingsStore& store_;
};

} // namespace varno::cameras
