// The reader rules for the settings the camera warner uses (fallbacks and messages).
#include "cameras/SettingsReaders.h"

#include "base/Numbers.h"

namespace varno::cameras {

std::optional<std::string> readFileName(const WarnerSettings& s, Prompt& prompt, const char* name,
                                        const std::string& missingMessage)
{
    if (!s.keyExists())
        return std::nullopt;
    std::optional<std::string> v = s.readString(name);
    if (!v || v->size() >= kFileNameBuffer) {
        prompt.message(missingMessage);
        return std::nullopt;
    }
    return v;
}

std::uint32_t readNumber(const WarnerSettings& s, const char* name, std::uint32_t fallback)
{
    return s.readDword(name).value_or(fallback);
}

int readSpeedUnits(const WarnerSettings& s)
{
    return static_cast<int>(readNumber(s, "SpeedUnits", 0));
}

int readTimeZone(const WarnerSettings& s)
{
    std::optional<std::string> v = s.readString("TimeZone");
    return v ? leadingInt(*v) : 1;
}

} // namespace varno::cameras
