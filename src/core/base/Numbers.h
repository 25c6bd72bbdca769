// Locale-independent number reading with the forgiving rules of atoi and atof.
#pragma once

#include <string_view>

namespace varno {

// Like atoi: skips leading blanks, takes an optional sign and the digits that
// follow; 0 when there are none. Out-of-range values are clamped to int.
int leadingInt(std::string_view text);

// Like atof in the "C" locale: leading blanks, sign, digits with a '.' decimal
// point, exponent, "inf" and "nan"; 0.0 when no number starts the text.
// Values too large for a double give +-HUGE_VAL, too small give 0.
double leadingDouble(std::string_view text);

// Like strtoul(text, nullptr, 16) for the "%x" conversions: blanks, optional
// "0x", hex digits. nullopt-like behaviour is expressed by the return flag.
bool leadingHex(std::string_view& text, unsigned& value);

} // namespace varno
