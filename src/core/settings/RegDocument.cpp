// The contents of a registry export file (REGEDIT4 / version 5.00): parsing and writing.
#include "settings/RegDocument.h"

#include <iterator>
#include <limits>

#include <fmt/printf.h>

#include "base/AsciiCase.h"
#include "base/LineReader.h"

namespace varno::settings {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>(asciiLower(c) - 'a' + 10);
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The file's bytes as UTF-8 text without BOM; nullopt (and why) when the
// encoding is broken. A Windows export is UTF-16LE with a BOM.
std::optional<std::string> decodeText(std::string_view bytes, std::string& error)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0) {
            error = "UTF-16 text of odd length";
            return std::nullopt;
        }
        std::string out;
        out.reserve(bytes.size() / 2);
        for (size_t i = 0; i < bytes.size(); i += 2) {
            uint32_t u =
                static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (u == 0) {
                error = "NUL character in UTF-16 text";
                return std::nullopt;
            }
            if (u >= 0xD800 && u <= 0xDBFF) {
                if (i + 3 >= bytes.size()) {
                    error = "broken UTF-16 surrogate pair";
                    return std::nullopt;
                }
                uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                               (static_cast<unsigned char>(bytes[i + 3]) << 8);
                if (low < 0xDC00 || low > 0xDFFF) {
                    error = "broken UTF-16 surrogate pair";
                    return std::nullopt;
                }
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                error = "broken UTF-16 surrogate pair";
                return std::nullopt;
            }
            appendUtf8(out, u);
        }
        return out;
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        error = "UTF-16BE text";
        return std::nullopt;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos) {
        error = "NUL byte in the text";
        return std::nullopt;
    }
    return std::string(bytes);
}

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
bool readQuoted(std::string_view s, size_t& pos, std::string& out)
{
    ++pos;
    out.clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < s.size()) {
            char n = s[pos];
            if (n == '\\' || n == '"') {
                out += n;
                ++pos;
                continue;
            }
        }
        out += c;
    }
    return false;
}

void appendQuoted(std::string& out, std::string_view s)
{
    out += '"';
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// "hex:" or "hex(t):" followed by comma-separated bytes; normalised without blanks.
std::optional<std::string> normaliseHex(std::string_view data)
{
    size_t colon = data.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view prefix = data.substr(0, colon);
    if (!equalsNoCase(prefix, "hex")) {
        if (prefix.size() < 6 || prefix.size() > 13 || !startsWithNoCase(prefix, "hex(") ||
            prefix.back() != ')')
            return std::nullopt;
        for (char c : prefix.substr(4, prefix.size() - 5))
            if (!isHexDigit(c))
                return std::nullopt;
    }
    std::string out(prefix);
    out += ':';
    std::string_view rest = data.substr(colon + 1);
    if (trim(rest).empty())
        return out;
    bool first = true;
    while (true) {
        size_t comma = rest.find(',');
        std::string_view token = trim(rest.substr(0, comma));
        bool last = comma == std::string_view::npos;
        if (token.empty()) {
            if (!last) // only a trailing comma may leave an empty token
                return std::nullopt;
        } else {
            if (token.size() > 2 || !isHexDigit(token[0]) || (token.size() == 2 && !isHexDigit(token[1])))
                return std::nullopt;
            if (!first)
                out += ',';
            out += token;
            first = false;
        }
        if (last)
            break;
        rest.remove_prefix(comma + 1);
    }
    return out;
}

struct Parser {
    RegDocument doc;
    std::string error;
    bool headerSeen = false;
    enum class Target { None, Section, Ignored } target = Target::None;
    std::string sectionPath;
    // A hex value continued onto further lines.
    bool continuing = false;
    std::string pendingName;
    std::string pendingData;
    // Comment lines waiting for the value or key header they stand before.
    std::vector<std::string> comments;

    void keepComments(std::string_view path, std::optional<std::string_view> name)
    {
        if (!comments.empty())
            doc.keepComments(path, name, std::move(comments));
        comments.clear();
    }

    bool fail(size_t lineNo, std::string_view what)
    {
        error = fmt::sprintf("line %d: %s", static_cast<int>(lineNo), std::string(what));
        return false;
    }

    bool finishHex(size_t lineNo)
    {
        auto hex = normaliseHex(pendingData);
        if (!hex)
            return fail(lineNo, "bad hex data");
        if (target == Target::Section) {
            doc.set(sectionPath, pendingName, Value{ValueType::Other, *hex, 0});
            keepComments(sectionPath, pendingName);
        }
        continuing = false;
        return true;
    }

    bool line(std::string_view raw, size_t lineNo)
    {
        std::string_view text = trim(raw);
        if (continuing) {
            bool more = !text.empty() && text.back() == '\\';
            pendingData += more ? text.substr(0, text.size() - 1) : text;
            return more ? true : finishHex(lineNo);
        }
        if (text.empty())
            return true;
        if (!headerSeen) {
            if (!equalsNoCase(text, kHeader4) && !equalsNoCase(text, kHeader5))
                return fail(lineNo, "not a registry file header");
            headerSeen = true;
            return true;
        }
        if (text.front() == ';') {
            comments.emplace_back(text);
            return true;
        }
        if (text.front() == '[') {
            if (text.back() != ']')
                return fail(lineNo, "unterminated key name");
            std::string_view path = text.substr(1, text.size() - 2);
            bool erase = !path.empty() && path.front() == '-';
            if (erase)
                path.remove_prefix(1);
            while (!path.empty() && path.back() == '\\')
                path.remove_suffix(1);
            if (path.empty())
                return fail(lineNo, "empty key name");
            if (erase) {
                doc.eraseKey(path);
                target = Target::Ignored;
            } else {
                doc.ensureKey(path);
                sectionPath = std::string(path);
                target = Target::Section;
                keepComments(sectionPath, std::nullopt);
            }
            return true;
        }
        return valueLine(text, lineNo);
    }

    bool valueLine(std::string_view text, size_t lineNo)
    {
        std::string name;
        size_t pos = 0;
        if (text.front() == '@') {
            pos = 1;
        } else if (text.front() == '"') {
            if (!readQuoted(text, pos, name))
                return fail(lineNo, "unterminated value name");
        } else {
            return fail(lineNo, "not a section, value or comment");
        }
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        if (pos >= text.size() || text[pos] != '=')
            return fail(lineNo, "value without '='");
        ++pos;
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        if (target == Target::None)
            return fail(lineNo, "value before the first key");
        std::string_view data = text.substr(pos);
        if (data == "-") {
            if (target == Target::Section)
                doc.erase(sectionPath, name);
            return true;
        }
        if (!data.empty() && data.front() == '"') {
            std::string value;
            size_t at = 0;
            if (!readQuoted(data, at, value))
                return fail(lineNo, "unterminated string");
            if (at != data.size())
                return fail(lineNo, "text after the string");
            if (target == Target::Section) {
                doc.set(sectionPath, name, Value::sz(std::move(value)));
                keepComments(sectionPath, name);
            }
            return true;
        }
        if (startsWithNoCase(data, "dword:")) {
            std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8)
                return fail(lineNo, "bad dword");
            uint32_t n = 0;
            for (char c : digits) {
                if (!isHexDigit(c))
                    return fail(lineNo, "bad dword");
                n = n * 16 + hexValue(c);
            }
            if (target == Target::Section) {
                doc.set(sectionPath, name, Value::dword(n));
                keepComments(sectionPath, name);
            }
            return true;
        }
        if (startsWithNoCase(data, "hex")) {
            pendingName = std::move(name);
            if (!data.empty() && data.back() == '\\') {
                pendingData = std::string(data.substr(0, data.size() - 1));
                continuing = true;
                return true;
            }
            pendingData = std::string(data);
            return finishHex(lineNo);
        }
        return fail(lineNo, "unknown value type");
    }
};

} // namespace

std::string foldName(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

RegParseResult RegDocument::parse(std::string_view bytes)
{
    RegParseResult result;
    auto text = decodeText(bytes, result.error);
    if (!text)
        return result;
    Parser p;
    std::string_view rest = *text;
    size_t lineNo = 0;
    while (!rest.empty()) {
        // Lines of any length; LF, CR LF and CR end them.
        const size_t length = linePieceLength(rest, std::numeric_limits<size_t>::max());
        const std::string_view line = stripLineEnd(rest.substr(0, length), 2);
        rest.remove_prefix(length);
        ++lineNo;
        if (!p.line(line, lineNo)) {
            result.error = p.error;
            return result;
        }
    }
    if (p.continuing) {
        result.error = "the file ends inside a hex value";
        return result;
    }
    p.keepComments("", std::nullopt);
    // A file with nothing in it (not even a header) holds no keys; nothing is lost by writing it.
    result.document = std::move(p.doc);
    return result;
}

std::string RegDocument::format() const
{
    std::string out;
    out += kHeader4;
    out += "\r\n\r\n";
    auto comments = [&out](const std::vector<std::string>& lines) {
        for (const auto& line : lines) {
            out += line;
            out += "\r\n";
        }
    };
    for (const auto& s : sections_) {
        comments(s.comments);
        if (s.removed)
            continue;
        out += '[';
        out += s.path;
        out += "]\r\n";
        // The notes of values removed after the key's last value go below its
        // blank line: read back, they stand before the next key there, so the
        // file writes the same again.
        std::size_t live = s.entries.size();
        while (live > 0 && s.entries[live - 1].removed)
            --live;
        for (std::size_t i = 0; i < live; ++i) {
            const auto& e = s.entries[i];
            comments(e.comments);
            if (e.removed)
                continue;
            if (e.name.empty())
                out += '@';
            else
                appendQuoted(out, e.name);
            out += '=';
            switch (e.value.type) {
            case ValueType::Sz:
                appendQuoted(out, e.value.text);
                break;
            case ValueType::Dword:
                out += fmt::sprintf("dword:%08x", e.value.number);
                break;
            case ValueType::Other:
                out += e.value.text;
                break;
            }
            out += "\r\n";
        }
        out += "\r\n";
        for (std::size_t i = live; i < s.entries.size(); ++i)
            comments(s.entries[i].comments);
    }
    comments(endComments_);
    return out;
}

RegDocument::Section* RegDocument::find(std::string_view path)
{
    auto it = byPath_.find(foldName(path));
    return it == byPath_.end() ? nullptr : &sections_[it->second];
}

const RegDocument::Section* RegDocument::find(std::string_view path) const
{
    auto it = byPath_.find(foldName(path));
    return it == byPath_.end() ? nullptr : &sections_[it->second];
}

bool RegDocument::hasKey(std::string_view path) const
{
    std::string folded = foldName(path);
    if (byPath_.count(folded))
        return true;
    folded += '\\';
    auto it = byPath_.lower_bound(folded);
    return it != byPath_.end() && it->first.compare(0, folded.size(), folded) == 0;
}

const RegDocument::Section* RegDocument::section(std::string_view path) const
{
    return find(path);
}

std::optional<Value> RegDocument::get(std::string_view path, std::string_view name) const
{
    const Section* s = find(path);
    if (!s)
        return std::nullopt;
    auto it = s->index.find(foldName(name));
    if (it == s->index.end())
        return std::nullopt;
    return s->entries[it->second].value;
}

std::vector<NamedValue> RegDocument::values(std::string_view path) const
{
    std::vector<NamedValue> out;
    if (const Section* s = find(path))
        for (const auto& e : s->entries)
            if (!e.removed)
                out.push_back({e.name, e.value});
    return out;
}

std::vector<std::string> RegDocument::keys() const
{
    std::vector<std::string> out;
    for (const auto& s : sections_)
        if (!s.removed)
            out.push_back(s.path);
    return out;
}

RegDocument::Section& RegDocument::ensureKey(std::string_view path)
{
    if (Section* s = find(path))
        return *s;
    byPath_.emplace(foldName(path), sections_.size());
    sections_.push_back(Section{std::string(path), {}, false, {}, {}});
    return sections_.back();
}

void RegDocument::setIn(Section& s, std::string_view name, Value value)
{
    std::string folded = foldName(name);
    auto it = s.index.find(folded);
    if (it != s.index.end()) {
        s.entries[it->second].value = std::move(value);
        return;
    }
    s.index.emplace(std::move(folded), s.entries.size());
    s.entries.push_back(Entry{std::string(name), std::move(value), false, {}});
}

bool RegDocument::eraseIn(Section& s, std::string_view name)
{
    auto it = s.index.find(foldName(name));
    if (it == s.index.end())
        return false;
    // Marked, not erased: removing many values stays linear.
    s.entries[it->second].removed = true;
    s.index.erase(it);
    return true;
}

void RegDocument::set(std::string_view path, std::string_view name, Value value)
{
    setIn(ensureKey(path), name, std::move(value));
}

bool RegDocument::erase(std::string_view path, std::string_view name)
{
    Section* s = find(path);
    return s && eraseIn(*s, name);
}

void RegDocument::eraseKey(std::string_view path)
{
    std::string folded = foldName(path);
    auto drop = [this](std::map<std::string, size_t>::iterator it) {
        Section& s = sections_[it->second];
        s.removed = true;
        // The key goes, the notes written in it stay where they were.
        for (auto& e : s.entries)
            s.comments.insert(s.comments.end(), std::make_move_iterator(e.comments.begin()),
                              std::make_move_iterator(e.comments.end()));
        s.entries.clear();
        s.index.clear();
        return byPath_.erase(it);
    };
    if (auto it = byPath_.find(folded); it != byPath_.end())
        drop(it);
    folded += '\\';
    auto it = byPath_.lower_bound(folded);
    while (it != byPath_.end() && it->first.compare(0, folded.size(), folded) == 0)
        it = drop(it);
}

void RegDocument::keepComments(std::string_view path, std::optional<std::string_view> name,
                               std::vector<std::string> lines)
{
    std::vector<std::string>* to = &endComments_;
    if (Section* s = path.empty() ? nullptr : find(path)) {
        to = &s->comments;
        if (name) {
            auto it = s->index.find(foldName(*name));
            if (it != s->index.end())
                to = &s->entries[it->second].comments;
        }
    }
    to->insert(to->end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
}

} // namespace varno::settings
