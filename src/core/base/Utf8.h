// UTF-8 as the program writes it: text read from files of unknown encoding
// keeps its valid UTF-8 and has any other byte taken as Latin-1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varno {

// Length of the valid UTF-8 sequence at text[i], 0 when there is none.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);

// text in UTF-8: valid sequences kept, every other byte read as Latin-1.
std::string utf8OrLatin1(std::string_view text);

} // namespace varno
