// The contents of a registry export file (REGEDIT4 / version 5.00): parsing and writing.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/Value.h"

namespace varno::settings {

// Sections and values in file order. Key paths are full registry paths as the
// file writes them ("HKEY_CURRENT_USER\Software\VARNO"); names of keys and of
// values compare without regard to (ASCII) case.
//
// What parse() accepts:
//  - bytes in UTF-8 (with or without BOM) or UTF-16LE with BOM; the text is
//    held as UTF-8 from then on;
//  - line ends CR LF, LF or a lone CR;
//  - first non-blank line "REGEDIT4" or "Windows Registry Editor Version 5.00";
//  - after it only blank lines, ';' comments, "[KEY]" sections, "[-KEY]" key
//    deletions, and inside a section the value lines
//      "name"="text"  (\\ and \" escaped; any other backslash is kept as is)
//      "name"=dword:hhhhhhhh  (1 to 8 hex digits)
//      "name"=hex:..  / "name"=hex(t):..  (bytes, continued with a trailing '\')
//      "name"=-  (deletes the value)      and @=... for the key's default value.
//    Blanks around '=' and at line ends are allowed.
// Deletions are applied while reading, as an import would apply them; later
// lines for the same value win. Anything else makes the whole file unreadable:
// a missing or wrong header, a NUL byte, an odd-length or broken UTF-16 text,
// a line that is none of the above, an unterminated string, a value line before
// the first section, a dword with other characters, or a file that ends inside
// a continued hex value. A garbled file is therefore reported rather than half
// read; a genuine export is read whole.
//
// Comment lines are not the store's to drop: each is kept with the value or
// key header it stands before (or at the end of the file) and written back
// there, so a hand-written note survives every later write.
struct RegParseResult;

class RegDocument {
public:
    struct Entry {
        std::string name;
        Value value;
        bool removed = false;
        std::vector<std::string> comments; // lines written before this value
    };
    struct Section {
        std::string path; // as first written in the file, no brackets
        std::vector<Entry> entries;
        bool removed = false;
        std::unordered_map<std::string, size_t> index; // folded name -> entry
        std::vector<std::string> comments;             // lines written before the header
    };

    static RegParseResult parse(std::string_view bytes);

    // The file as the program writes it: REGEDIT4, UTF-8, CR LF line ends.
    std::string format() const;

    // True when the key or any key below it has a section.
    bool hasKey(std::string_view path) const;
    const Section* section(std::string_view path) const;
    std::optional<Value> get(std::string_view path, std::string_view name) const;
    std::vector<NamedValue> values(std::string_view path) const;
    // Full paths of the keys present, in file order.
    std::vector<std::string> keys() const;

    // Creates the section when it is missing (appended at the end).
    Section& ensureKey(std::string_view path);
    void set(std::string_view path, std::string_view name, Value value);
    bool erase(std::string_view path, std::string_view name);
    // Removes the key and every key below it.
    void eraseKey(std::string_view path);

    // Keeps comment lines before a value of a key, before a key's header (empty
    // name: nullopt), or at the end of the file (empty path).
    void keepComments(std::string_view path, std::optional<std::string_view> name,
                      std::vector<std::string> lines);

private:
    Section* find(std::string_view path);
    const Section* find(std::string_view path) const;
    static void setIn(Section& s, std::string_view name, Value value);
    static bool eraseIn(Section& s, std::string_view name);

    std::vector<Section> sections_;
    std::map<std::string, size_t> byPath_; // folded path -> live section
    std::vector<std::string> endComments_; // after the last value
};

struct RegParseResult {
    std::optional<RegDocument> document; // nullopt: the bytes cannot be read
    std::string error;                   // why not, for diagnostics
};

// ASCII case folding used for key and value names.
std::string foldName(std::string_view s);

} // namespace varno::settings
