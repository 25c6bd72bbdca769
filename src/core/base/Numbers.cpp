// Locale-independent number reading with the forgiving rules of atoi and atof.
#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

std::size_t shortDecimal(std::string_view text, double& value)
{
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const std::size_t n = text.size();
    const bool negative = n > 0 && text[0] == '-';
    if (n > 0 && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (i >= n || text[i] < '0' || text[i] > '9')
        return 0;
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        mantissa = mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    if (i < n && text[i] == '.') {
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++fraction)
            mantissa = mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    }
    if (digits > 15 || (i < n && (text[i] == 'e' || text[i] == 'E')))
        return 0;
    const double v = static_cast<double>(mantissa) / kPow10[fraction];
    value = negative ? -v : v;
    return i;
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
