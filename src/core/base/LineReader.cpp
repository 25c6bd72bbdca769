// Reads text line by line with the limits the file formats rely on.
#include "base/LineReader.h"

#include <algorithm>

namespace varno {

namespace {

// The first CR or LF, or npos: the LF, then a CR before it, each found by
// memchr. find_first_of with a set of two calls memchr on the set for every
// byte, which made every load of a file of lines up to twice as slow.
std::size_t findLineEnd(std::string_view bytes)
{
    const std::size_t lf = bytes.find('\n');
    const std::size_t cr = bytes.substr(0, lf).find('\r');
    return cr != std::string_view::npos ? cr : lf;
}

} // namespace

std::size_t linePieceLength(std::string_view bytes, std::size_t limit)
{
    if (limit < 2)
        return 0;
    const std::size_t n = std::min(bytes.size(), limit - 1);
    const std::size_t end = findLineEnd(bytes.substr(0, n));
    if (end == std::string_view::npos)
        return n;
    // The LF of a CR LF belongs to the same line end, even past the limit.
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

LineSpan lineSpan(std::string_view bytes, std::size_t limit)
{
    LineSpan span;
    span.kept = linePieceLength(bytes, limit);
    span.length = span.kept;
    if (span.kept == 0 || endsLine(bytes.substr(0, span.kept)))
        return span;
    const std::string_view rest = bytes.substr(span.kept);
    const std::size_t dropped = std::min(findLineEnd(rest), rest.size());
    span.cut = dropped > 0;
    span.length += dropped + linePieceLength(rest.substr(dropped), 2);
    return span;
}

bool LineReader::next(std::string& piece, std::size_t limit)
{
    piece.clear();
    if (limit < 2)
        return false;
    if (!file_) {
        const std::size_t n = linePieceLength(rest_, limit);
        piece.assign(rest_.substr(0, n));
        rest_.remove_prefix(n);
        consumed_ += n;
        return n > 0;
    }
    while (piece.size() < limit - 1) {
        // One reader per file: the unlocked read is several times faster.
        const int c = getc_unlocked(file_);
        if (c == EOF)
            break;
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
        if (c == '\r') {
            const int lf = getc_unlocked(file_);
            if (lf == '\n')
                piece.push_back('\n');
            else if (lf != EOF)
                ungetc(lf, file_);
            break;
        }
    }
    consumed_ += piece.size();
    return !piece.empty();
}

bool LineReader::skipRestOfLine()
{
    if (!file_) {
        const std::size_t dropped = std::min(findLineEnd(rest_), rest_.size());
        const std::size_t end = linePieceLength(rest_.substr(dropped), 2); // a CR LF whole
        rest_.remove_prefix(dropped + end);
        consumed_ += dropped + end;
        return dropped > 0;
    }
    std::string end;
    bool dropped = false;
    while (next(end, 2) && !endsLine(end))
        dropped = true;
    return dropped;
}

bool LineReader::nextLine(std::string& line, std::size_t limit)
{
    if (!next(line, limit))
        return false;
    if (!endsLine(line) && skipRestOfLine())
        ++overlong_;
    return true;
}

std::string_view stripLineEnd(std::string_view line, std::size_t atMost)
{
    for (std::size_t i = 0; i < atMost && !line.empty() && (line.back() == '\n' || line.back() == '\r'); ++i)
        line.remove_suffix(1);
    return line;
}

void stripLineEnd(std::string& line, std::size_t atMost)
{
    line.resize(stripLineEnd(std::string_view(line), atMost).size());
}

std::string overlongLinesText(std::uint64_t count)
{
    if (count == 0)
        return {};
    return std::to_string(count) + (count == 1 ? " over-long line cut short" : " over-long lines cut short");
}

std::uint64_t countLineEnds(std::string_view chunk, char& last)
{
    std::uint64_t n = 0;
    for (const char c : chunk) {
        // The LF of a CR LF ends no second line.
        if (c == '\n' ? last != '\r' : c == '\r')
            ++n;
        last = c;
    }
    return n;
}

} // namespace varno
