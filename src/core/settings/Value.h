// One named registry value as the settings store holds it.
#pragma once

#include <cstdint>
#include <string>

namespace varno::settings {

// Sz and Dword are the two types the program reads and writes. Other stands for
// every other registry type found in a file ("hex:", "hex(2):" ...): such values
// are kept as they were written (text holds the data after the '=', e.g.
// "hex(2):43,00,00,00") and read as missing by the program's readers.
enum class ValueType { Sz, Dword, Other };

struct Value {
    ValueType type = ValueType::Sz;
    std::string text;    // REG_SZ text, or the verbatim data of an Other value
    uint32_t number = 0; // REG_DWORD

    static Value sz(std::string t) { return {ValueType::Sz, std::move(t), 0}; }
    static Value dword(uint32_t n) { return {ValueType::Dword, {}, n}; }
    friend bool operator==(const Value&, const Value&) = default;
};

// A value with its name; the default value of a key ("@" in the file) has an
// empty name, as in the registry.
struct NamedValue {
    std::string name;
    Value value;
};

} // namespace varno::settings
