// Small text helpers every reader and display needs: a UTF-8-safe cut, blanks trimmed, hex digits.
#pragma once

#include <cstddef>
#include <string_view>

namespace varno {

// Cuts text to at most n bytes, backing off so no UTF-8 sequence is split.
constexpr std::string_view cutText(std::string_view text, std::size_t n)
{
    if (text.size() <= n)
        return text;
    std::size_t end = n;
    // Back off over continuation bytes so the cut falls between characters.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

// Text without the spaces and tabs around it.
constexpr std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The value of a hex digit of either case; -1 for any other character.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace varno
