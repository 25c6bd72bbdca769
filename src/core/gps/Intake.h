// The view's decode step: one handed-over sentence into the fix.
#pragma once

#include <cstddef>
#include <string_view>

namespace varno::gps {

class CNmeaDecoder;

// At most this many characters of a sentence, from index 7 on, reach the decoder.
inline constexpr std::size_t kIntakeDataLimit = 159;

// Address = the five characters after "$" (fewer when the sentence is shorter),
// data = the characters from index 7 on, at most kIntakeDataLimit of them. When
// NmeaChecksumOk(sentence) the sentence is decoded and the result is true;
// otherwise nothing changes and the result is false. A position sentence the
// decoder refuses (an impossible latitude or longitude) is false too.
bool intakeSentence(CNmeaDecoder& dec, std::string_view sentence);

} // namespace varno::gps
