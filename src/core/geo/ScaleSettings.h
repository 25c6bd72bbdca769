// What the map scale needs from the settings store: the stored MapScale and its writer.
#pragma once

#include <cstdint>
#include <optional>

namespace varno::geo {

// Outcome of writing MapScale, as the registry writer reports it.
struct ScaleWrite {
    enum class Result { Written, NoKey, Failed } result = Result::Written;
    unsigned errorCode = 0; // shown as "0x%x" when the write failed
};

class ScaleSettings {
public:
    virtual ~ScaleSettings() = default;
    // False when the settings key cannot be opened.
    virtual bool keyExists() const = 0;
    // The stored DWORD; nullopt when the key or the value is missing.
    virtual std::optional<std::uint32_t> readDword(const char* name) const = 0;
    // Writes a DWORD under the settings key; NoKey when the key cannot be opened.
    virtual ScaleWrite writeMapScale(std::uint32_t metres) = 0;
};

} // namespace varno::geo
