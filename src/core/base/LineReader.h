// Reads text line by line with the limits the file formats rely on.
#pragma once

#include <cstddef>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

namespace varno {

// The length of the first piece of bytes as fgets(buffer, limit) would read
// it: at most limit - 1 bytes, ending after the first '\n' if one comes
// sooner. 0 for empty bytes or a limit below 2.
std::size_t linePieceLength(std::string_view bytes, std::size_t limit);

// fgets(buffer, limit) semantics over an open file or over bytes in memory:
// each call returns at most limit - 1 bytes, ending after the first '\n' if
// one comes sooner. A longer line therefore arrives as several pieces, which
// some file formats make visible. The line end is kept, as fgets keeps it; use
// stripLineEnd to drop it.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : file_(f) {}
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // False at the end (or on a read error) with nothing read.
    bool next(std::string& piece, std::size_t limit);

private:
    std::FILE* file_ = nullptr;
    std::string_view rest_;
};

// Drops up to atMost trailing CR and LF characters (all of them by default).
std::string_view stripLineEnd(std::string_view line,
                              std::size_t atMost = std::numeric_limits<std::size_t>::max());
void stripLineEnd(std::string& line, std::size_t atMost = std::numeric_limits<std::size_t>::max());

} // namespace varno
