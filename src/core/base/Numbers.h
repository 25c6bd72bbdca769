// Locale-independent number reading with the forgiving rules of atoi and atof.
#pragma once

#include <cstddef>
#include <string_view>

namespace varno {

// Like atoi: skips leading blanks, takes an optional sign and the digits that
// follow; 0 when there are none. Out-of-range values are clamped to int.
int leadingInt(std::string_view text);

// Like atof in the "C" locale: leading blanks, sign, digits with a '.' decimal
// point, exponent, "inf" and "nan"; 0.0 when no number starts the text.
// Values too large for a double give +-HUGE_VAL, too small give 0.
double leadingDouble(std::string_view text);

// The quick way for plain decimals such as "-12.345": an optional sign, digits
// and an optional '.' with more digits, 15 digits in all at most. Up to 15
// digits and 10^k for k <= 15 are exact doubles, so one division gives the
// correctly rounded value, as from_chars does. Returns how many characters
// were read, or 0 when the text needs the general way (no digit first, more
// digits, or an exponent follows); anything else after the number is left to
// the caller.
std::size_t shortDecimal(std::string_view text, double& value);

// Like strtoul(text, nullptr, 16) for the "%x" conversions: blanks, optional
// "0x", hex digits. nullopt-like behaviour is expressed by the return flag.
bool leadingHex(std::string_view& text, unsigned& value);

} // namespace varno
