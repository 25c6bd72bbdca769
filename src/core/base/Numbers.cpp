// Locale-independent number reading with the forgiving rules of atoi and atof.
#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace varno {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view skipBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

} // namespace

int leadingInt(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            value = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

double leadingDouble(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would accept a second sign; atof does not.
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return 0.0;
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the exponent's sign.
        std::string_view digits(text.data(), static_cast<size_t>(end - text.data()));
        auto e = digits.find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

bool leadingHex(std::string_view& text, unsigned& value)
{
    std::string_view s = skipBlanks(text);
    if (s.size() >= 3 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        char c = s[2];
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            s.remove_prefix(2);
    }
    unsigned long long v = 0;
    size_t n = 0;
    while (n < s.size()) {
        char c = s[n];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > std::numeric_limits<unsigned>::max())
            v = std::numeric_limits<unsigned>::max();
        ++n;
    }
    if (n == 0)
        return false;
    value = static_cast<unsigned>(v);
    text = s.substr(n);
    return true;
}

} // namespace varno
