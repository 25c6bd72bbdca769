// Reads text line by line with the limits the file formats rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

namespace varno {

// Every text reader of the program takes the three line ends alike: LF, CR LF
// and a CR alone (old Mac files). A CR LF is one line end, never split between
// two pieces.

// Whether a piece ends its line (its last byte is a line end).
inline bool endsLine(std::string_view piece)
{
    return !piece.empty() && (piece.back() == '\n' || piece.back() == '\r');
}

// The length of the first piece of bytes as fgets(buffer, limit) would read
// it if CR and CR LF ended lines as LF does: at most limit - 1 bytes (one more
// for the LF of a CR LF), ending after the first line end if one comes sooner.
// 0 for empty bytes or a limit below 2.
std::size_t linePieceLength(std::string_view bytes, std::size_t limit);

// The first line of bytes read whole: its first piece (linePieceLength) is
// kept, the rest of a longer line up to its line end is dropped.
struct LineSpan {
    std::size_t kept = 0;   // bytes of the first piece
    std::size_t length = 0; // bytes of the whole line with its end
    bool cut = false;       // more than the line end was dropped
};
LineSpan lineSpan(std::string_view bytes, std::size_t limit);

// fgets(buffer, limit) semantics over an open file or over bytes in memory,
// with the three line ends alike: each next() returns at most limit - 1 bytes
// (one more for the LF of a CR LF), ending after the first line end if one
// comes sooner. A longer line therefore arrives as several pieces, which some
// file formats make visible; nextLine() drops the rest of it instead. The
// line end is kept as read; use stripLineEnd to drop it.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : file_(f) {}
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // False at the end (or on a read error) with nothing read.
    bool next(std::string& piece, std::size_t limit);
    // The first piece of the next line; the rest of a longer line is read
    // and dropped, and counted in overlongLines(). False as next().
    bool nextLine(std::string& line, std::size_t limit);
    // The lines nextLine() has cut short.
    std::uint64_t overlongLines() const { return overlong_; }
    // The bytes read so far, dropped ones included.
    std::uint64_t consumed() const { return consumed_; }

private:
    // Reads the rest of the line after a piece that did not end it; true
    // when that was more than a line end.
    bool skipRestOfLine();

    std::FILE* file_ = nullptr;
    std::string_view rest_;
    std::uint64_t overlong_ = 0;
    std::uint64_t consumed_ = 0;
};

// Drops up to atMost trailing CR and LF characters (all of them by default).
std::string_view stripLineEnd(std::string_view line,
                              std::size_t atMost = std::numeric_limits<std::size_t>::max());
void stripLineEnd(std::string& line, std::size_t atMost = std::numeric_limits<std::size_t>::max());

// "1 over-long line cut short", "2 over-long lines cut short": the count line
// a load adds to its message when it dropped the rest of lines; empty for none.
std::string overlongLinesText(std::uint64_t count);

// The number of lines in bytes (any line end; a last line without one counts).
// For counting a file in chunks: pass the last byte of the previous chunk
// ('\n' before the first) in `last`, which is updated; add endsOpenLine(last)
// after the last chunk.
std::uint64_t countLineEnds(std::string_view chunk, char& last);
inline std::uint64_t endsOpenLine(char last)
{
    return last != '\n' && last != '\r' ? 1 : 0;
}

} // namespace varno
