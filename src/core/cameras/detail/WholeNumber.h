// Whole-number texts of the panel and the average-speed line, written without a printf call per fix.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include <fmt/printf.h>

namespace varno::cameras::detail {

// Appends value exactly as "%.0f" writes it: rounded to the nearest whole
// number, halves to the even one ("0" for 0.5, "2" for 2.5).
inline void appendWholeNumber(std::string& out, double value)
{
    // Below 2^52 a double's units digit is within reach: adding 2^52 rounds
    // away the fraction in the current (nearest, ties-to-even) rounding mode,
    // and taking it away again is exact. Negative numbers, -0, huge numbers,
    // infinities and NaN take printf's own way.
    constexpr double kTwo52 = 4503599627370496.0;
    if (value >= 0.0 && value < kTwo52 && !std::signbit(value)) {
        volatile double shifted = value + kTwo52;
        const auto whole = static_cast<std::uint64_t>(shifted - kTwo52);
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, whole);
        out.append(digits, result.ptr);
        return;
    }
    out += fmt::sprintf("%.0f", value);
}

} // namespace varno::cameras::detail
