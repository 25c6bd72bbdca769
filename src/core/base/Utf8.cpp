// UTF-8 as the program writes it.
#include "base/Utf8.h"

namespace varno {

std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || (n == 2 && b < 0xC2) || i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

std::string utf8OrLatin1(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t n = utf8SequenceLength(text, i)) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        const auto b = static_cast<unsigned char>(text[i++]);
        out += static_cast<char>(0xC0 | (b >> 6));
        out += static_cast<char>(0x80 | (b & 0x3F));
    }
    return out;
}

} // namespace varno
