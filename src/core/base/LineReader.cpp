// Reads text line by line with the limits the file formats rely on.
#include "base/LineReader.h"

#include <algorithm>

namespace varno {

std::size_t linePieceLength(std::string_view bytes, std::size_t limit)
{
    if (limit < 2)
        return 0;
    const std::size_t n = std::min(bytes.size(), limit - 1);
    const std::size_t nl = bytes.substr(0, n).find('\n');
    return nl == std::string_view::npos ? n : nl + 1;
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
    }
    return !piece.empty();
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

} // namespace varno
