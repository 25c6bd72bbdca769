// The settings file: registry keys and values kept in a REGEDIT4-format text file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/FileSync.h"

namespace varno::settings {

// The key every setting lives under, and the subkey of the POI file list.
inline constexpr std::string_view kVarnoKey = "Software\\VARNO";
inline constexpr std::string_view kPoiFilesKey = "Software\\VARNO\\POIFiles";

enum class ValueType { Sz, Dword };

struct Value {
    ValueType type = ValueType::Sz;
    std::string text;     // REG_SZ
    uint32_t number = 0;  // REG_DWORD
};

struct NamedValue {
    std::string name;
    Value value;
};

// Keys are named as under HKEY_CURRENT_USER ("Software\VARNO"); names of keys
// and values compare without regard to case, as the registry does. Values keep
// the order they have in the file, which is their enumeration order.
//
// Every read reflects the file as it is on disk now (the file is read again
// when it changed), so another program editing it is seen. Every write goes
// to a temporary file in the same folder that is flushed to disk and renamed
// over the old one: a crash never leaves half a file.
//
// A file that cannot be parsed counts as having no keys at all. It is never
// overwritten: the first write moves it aside as "<file>.bad".
class SettingsStore {
public:
    explicit SettingsStore(std::string path, FileSync* sync = nullptr);

    const std::string& path() const { return path_; }

    bool keyExists(std::string_view key) const;
    std::optional<Value> get(std::string_view key, std::string_view name) const;
    std::vector<NamedValue> values(std::string_view key) const;

    // Writers create the key (and the file) as needed. False on an I/O failure.
    bool createKey(std::string_view key);
    bool setString(std::string_view key, std::string_view name, std::string_view text);
    bool setDword(std::string_view key, std::string_view name, uint32_t number);
    bool deleteValue(std::string_view key, std::string_view name);

    // Several writes as one file replacement (Check Registry writes ~70 values).
    class Batch;

    // True when the file exists but could not be parsed; the reason, once.
    bool unreadable() const;
    std::string takeUnreadableReport();

private:
    std::string path_;
    FileSync* sync_;
};

} // namespace varno::settings
