// In-memory settings for the camera warner tests, with the key and writes under test control.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "cameras/WarnerSettings.h"

namespace varno::test {

class FakeWarnerSettings final : public cameras::WarnerSettings {
public:
    bool keyPresent = true;
    bool failWrites = false;
    std::map<std::string, std::uint32_t> dwords;
    std::map<std::string, std::string> strings;

    bool keyExists() const override { return keyPresent; }
    std::optional<std::uint32_t> readDword(const char* name) const override
    {
        auto it = dwords.find(name);
        if (!keyPresent || it == dwords.end())
            return std::nullopt;
        return it->second;
    }
    std::optional<std::string> readString(const char* name) const override
    {
        auto it = strings.find(name);
        if (!keyPresent || it == strings.end())
            return std::nullopt;
        return it->second;
    }
    bool writeDword(const char* name, std::uint32_t value) override
    {
        if (failWrites)
            return false;
        keyPresent = true;
        dwords[name] = value;
        return true;
    }
    geo::ScaleWrite writeMapScale(std::uint32_t metres) override
    {
        if (!keyPresent)
            return {geo::ScaleWrite::Result::NoKey, 0};
        if (failWrites)
            return {geo::ScaleWrite::Result::Failed, 5};
        dwords["MapScale"] = metres;
        return {};
    }
};

} // namespace varno::test
