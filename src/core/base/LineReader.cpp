// Reads text files line by line with the limits the file formats rely on.
#include "LineReader.h"

namespace varno {

bool LineReader::next(std::string& piece, size_t limit)
{
    piece.clear();
    if (limit < 2)
        return false;
    while (piece.size() < limit - 1) {
        int c = std::getc(file_);
        if (c == EOF)
            break;
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

void chompLineEnd(std::string& line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
}

} // namespace varno
