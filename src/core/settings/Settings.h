// The program's settings: the readers and writers of every value, with their messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Prompt.h"
#include "base/TimeZone.h"
#include "settings/MasterTable.h"
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

    // Readers, one per kind of setting (see MasterTable):
    //  - text: nullopt when the key or value is missing or does not fit the
    //    row's buffer; no message;
    //  - file/folder names and "hh:mm" times: as text, but a missing (or
    //    over-long) value shows the row's message, if it has one;
    //  - on/off: 1 when the value is 1, 0 for any other number, -1 when missing;
    //  - number: the stored number held to the row's range, or the row's
    //    fallback for a missing key or a missing value;
    //  - time zone: the leading decimal number of the text ("+1" -> 1, "abc" -> 0), 1 when missing;
    //  - colour: 0x00BBGGRR, black when missing or unreadable.
    std::optional<std::string> read(const TextKey& key);
    std::optional<std::string> read(const FileNameKey& key) { return readName(key.row()); }
    std::optional<std::string> read(const TimeKey& key) { return readName(key.row()); }
    int read(const OnOffKey& key);
    int64_t read(const NumberKey& key);
    TimeZone read(const TimeZoneKey& key);
    uint32_t read(const ColourKey& key);

    // The stored text of a text setting as it is, without the reader's limit,
    // message or conversion: nullopt when the key or value is missing.
    std::optional<std::string> peek(const TextKey& key) { return peekText(key.row()); }
    std::optional<std::string> peek(const FileNameKey& key) { return peekText(key.row()); }
    std::optional<std::string> peek(const TimeKey& key) { return peekText(key.row()); }
    std::optional<std::string> peek(const TimeZoneKey& key) { return peekText(key.row()); }

    // "%x %x %x" as red, green, blue; extra numbers are ignored.
    static std::optional<uint32_t> parseColour(std::string_view text);
    // "%2.2x %2.2x %2.2x" of red, green, blue.
    static std::string formatColour(uint32_t colour);

    // Writers: false after showing the failure the row names (see WriteFailure).
    bool write(const TextKey& key, std::string_view text) { return writeText(key.row(), text); }
    bool write(const FileNameKey& key, std::string_view text) { return writeText(key.row(), text); }
    bool write(const TimeKey& key, std::string_view text) { return writeText(key.row(), text); }
    bool write(const TimeZoneKey& key, std::string_view text) { return writeText(key.row(), text); }
    bool write(const OnOffKey& key, bool on) { return write(key.row(), Value::dword(on ? 1 : 0)); }
    bool write(const NumberKey& key, uint32_t number) { return write(key.row(), Value::dword(number)); }
    bool write(const ColourKey& key, uint32_t colour)
    {
        return write(key.row(), Value::sz(formatColour(colour)));
    }
    // Any row, with a value of the row's type (the settings command line tool).
    bool write(const SettingDef& def, const Value& value);

    // Creates "Software\VARNO" with every value of the master table at its
    // default (overwriting what is there) and the POIFiles subkey, as one file
    // replacement. Shows the failures; true when everything was written.
    bool writeDefaults();
    // writeDefaults, then "Registry check finished.".
    bool checkRegistry();

private:
    void reportUnreadable();
    std::optional<Value> read(const SettingDef& def, bool& keyMissing);
    std::optional<std::string> readText(const SettingDef& def, bool& keyMissing);
    std::optional<std::string> readName(const SettingDef& def);
    std::optional<std::string> peekText(const SettingDef& def);
    bool writeText(const SettingDef& def, std::string_view text)
    {
        return write(def, Value::sz(std::string(text)));
    }

    SettingsStore& store_;
    Prompt& prompt_;
};

inline constexpr std::string_view kRegistryCheckFinished = "Registry check finished.";

} // namespace varno::settings
