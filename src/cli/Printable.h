// Text from files made safe for a terminal: control bytes shown, not obeyed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <fmt/format.h>

namespace varno::cli {

// text as it may be printed: every control character (C0 but the tab, DEL and
// the C1 range, which terminals read as escapes) and every byte that is not
// part of well-formed UTF-8 becomes "\xNN"; the rest, backslashes included
// (Windows paths), is left as it is. A name read from a file can then neither
// move the cursor, retitle the window nor hide the rest of the line.
inline std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = byte(i);
        std::size_t length = c < 0x80             ? 1
                             : (c & 0xE0) == 0xC0 ? 2
                             : (c & 0xF0) == 0xE0 ? 3
                             : (c & 0xF8) == 0xF0 ? 4
                                                  : 0;
        if (length > 1) {
            bool whole = i + length <= text.size() && c >= 0xC2 && c <= 0xF4;
            for (std::size_t k = 1; whole && k < length; ++k)
                whole = (byte(i + k) & 0xC0) == 0x80;
            // C1 controls (U+0080..U+009F) are C2 80..C2 9F.
            if (!whole || (c == 0xC2 && byte(i + 1) < 0xA0))
                length = 0;
        }
        if (length == 1 && (c >= 0x20 || c == '\t') && c != 0x7F) {
            out += static_cast<char>(c);
        } else if (length > 1) {
            out.append(text.substr(i, length));
        } else {
            // One byte at a time, so a C1 pair shows both its bytes.
            const bool c1 = c == 0xC2 && i + 1 < text.size() && byte(i + 1) >= 0x80 && byte(i + 1) < 0xA0;
            const std::size_t shown = c1 ? 2 : 1;
            for (std::size_t k = 0; k < shown; ++k)
                out += fmt::format("\\x{:02X}", byte(i + k));
            i += shown;
            continue;
        }
        i += length;
    }
    return out;
}

} // namespace varno::cli
