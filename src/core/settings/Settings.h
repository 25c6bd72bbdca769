// The program's settings: the readers and writers of every value, with their messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Prompt.h"
#include "settings/SettingsStore.h"

namespace varno::settings {

// Reads and writes the values of "Software\VARNO" the way the program uses
// them: each reader has its fallback and, where it has one, its message for a
// missing value (see MasterTable). A value of another type than the reader
// expects counts as missing. A missing key is never reported by a reader.
//
// The first use after the store found its file unreadable shows
// "The settings file\n<path>\ncannot be read and is ignored." once.
class Settings {
public:
    Settings(SettingsStore& store, Prompt& prompt) : store_(store), prompt_(prompt) {}

    SettingsStore& store() { return store_; }
    Prompt& prompt() { return prompt_; }

    // "Software\VARNO" can be opened.
    bool keyExists();

    // Raw values without any message (port parameters and the like).
    std::optional<std::string> readString(std::string_view name);
    std::optional<uint32_t> readDword(std::string_view name);

    // File and folder names, and "hh:mm" times: nullopt when the key or value is
    // missing; a missing value shows the setting's message, if it has one.
    std::optional<std::string> readFileName(std::string_view name);
    std::optional<std::string> readTime(std::string_view name);

    // 1 when the value is 1, 0 for any other number, -1 when missing.
    int readOnOff(std::string_view name);

    // The stored number, or the fallback when the key or value is missing.
    int64_t readNumber(std::string_view name, int64_t fallback);
    // With separate fallbacks for a missing key and a missing value.
    int64_t readNumber(std::string_view name, int64_t keyMissing, int64_t valueMissing);
    int readSpeedUnits();  // 0 when missing
    int readVersion();     // -1 when missing
    int readTrackLength(); // -1 when missing, else held to 500..5000

    // The leading decimal number of the text ("+1" -> 1, "abc" -> 0); 1 when missing.
    int readTimeZone();

    // A colour as 0x00BBGGRR; black when missing or unreadable.
    uint32_t readColour(std::string_view name);
    // "%x %x %x" as red, green, blue; extra numbers are ignored.
    static std::optional<uint32_t> parseColour(std::string_view text);
    // "%2.2x %2.2x %2.2x" of red, green, blue.
    static std::string formatColour(uint32_t colour);

    // Writers: false after showing the failure.
    bool writeString(std::string_view name, std::string_view text);
    bool writeDword(std::string_view name, uint32_t number);
    bool writeColour(std::string_view name, uint32_t colour);
    // These two show only the failing code ("0x%x": the system's error number,
    // or 1 when there is none).
    bool writeSpeedUnits(uint32_t units);
    bool writeMapScale(uint32_t metres);

    // Creates "Software\VARNO" with every value of the master table at its
    // default (overwriting what is there) and the POIFiles subkey, as one file
    // replacement. Shows the failures; true when everything was written.
    bool writeDefaults();
    // writeDefaults, then "Registry check finished.".
    bool checkRegistry();

private:
    void reportUnreadable();
    std::optional<Value> read(std::string_view name, bool& keyMissing);
    bool write(std::string_view name, const Value& value, bool codeOnly);

    SettingsStore& store_;
    Prompt& prompt_;
};

inline constexpr std::string_view kRegistryCheckFinished = "Registry check finished.";

} // namespace varno::settings
