// Reads text files line by line with the limits the file formats rely on.
#pragma once

#include <cstdio>
#include <string>

namespace varno {

// fgets(buffer, limit) semantics: each call returns at most limit - 1 bytes,
// ending after the first '\n' if one comes sooner. A longer line therefore
// arrives as several pieces, which some file formats make visible. The line
// end is kept, as fgets keeps it; use chompLineEnd to drop it.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : file_(f) {}
    // False at end of file (or on a read error) with nothing read.
    bool next(std::string& piece, size_t limit);

private:
    std::FILE* file_;
};

// Removes trailing CR and LF characters.
void chompLineEnd(std::string& line);

} // namespace varno
