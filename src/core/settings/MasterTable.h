// Every setting of the program with its type, default and reader message.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "settings/Value.h"

namespace varno::settings {

// How the program reads a setting (which reader family it belongs to).
enum class SettingKind {
    Text,     // read as is (port parameters, folders without a reader message)
    FileName, // file or folder name: a missing value shows `message` when it has one
    Time,     // "hh:mm" text: a missing value shows `message` when it has one
    OnOff,    // 1 on, anything else off, -1 missing
    Number,   // a number with a fallback chosen by its user
    TimeZone, // leading decimal number of a text
    Colour,   // "rr gg bb" in hex
};

struct SettingDef {
    std::string_view name;
    ValueType type;
    std::string_view defaultText; // Sz
    uint32_t defaultNumber;       // Dword
    SettingKind kind;
    std::string_view message; // shown when the value is missing; empty: silent
};

// The table in the order the defaults are written.
std::span<const SettingDef> masterTable();

// The row of a setting, found without regard to case; null when not listed.
const SettingDef* findSetting(std::string_view name);

} // namespace varno::settings
