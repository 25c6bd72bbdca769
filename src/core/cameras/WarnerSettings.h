// The settings the camera warner reads and writes, behind one small interface.
#pragma once

#include <optional>
#include <string>

#include "geo/ScaleSettings.h"

namespace varno::cameras {

// Everything here lives under "Software\VARNO". The readers below turn these
// raw answers into the program's reader rules (fallbacks and messages).
class WarnerSettings : public geo::ScaleSettings {
public:
    // The stored text; nullopt when the key or the value is missing (or the
    // value is not a string).
    virtual std::optional<std::string> readString(const char* name) const = 0;
    // Writes a DWORD, creating the key when needed, as the option dialogs do.
    // False when the write failed.
    virtual bool writeDword(const char* name, std::uint32_t value) = 0;
};

} // namespace varno::cameras
