// The reader rules for the settings the camera warner uses (fallbacks and messages).
#pragma once

#include <optional>
#include <string>

#include "base/Prompt.h"
#include "cameras/WarnerSettings.h"

namespace varno::cameras {

// File and folder names are read into a 299-byte buffer: a longer text cannot
// be read at all.
inline constexpr std::size_t kFileNameBuffer = 299;

// A file or folder name: nullopt when it cannot be read. A missing key fails
// silently; a missing (or over-long) value fails after showing missingMessage.
std::optional<std::string> readFileName(const WarnerSettings& s, Prompt& prompt, const char* name,
                                        const std::string& missingMessage);

// The stored number, or fallback when the key or value is missing.
std::uint32_t readNumber(const WarnerSettings& s, const char* name, std::uint32_t fallback);

// SpeedUnits: 0 mph, 1 kph, 2 knots; 0 when missing.
int readSpeedUnits(const WarnerSettings& s);

// TimeZone: the leading whole number of the stored text; 1 when missing.
int readTimeZone(const WarnerSettings& s);

} // namespace varno::cameras
