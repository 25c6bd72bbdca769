// Text read line by line for a long job, counting the bytes read so progress can be told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/LineReader.h"

namespace varno {

// Text read line by line from a file or from bytes (see LineReader), counting
// what it has read so progress can be told.
class LineInput {
public:
    LineInput(std::FILE* f, std::uint64_t totalBytes) : reader_(f), total_(totalBytes) {}
    explicit LineInput(std::string_view bytes) : reader_(bytes), total_(bytes.size()) {}

    bool next(std::string& piece, std::size_t limit)
    {
        if (!reader_.next(piece, limit))
            return false;
        done_ = reader_.consumed();
        return true;
    }
    // A whole line: the rest of a longer line is read, counted in done() and
    // overlongLines(), and dropped.
    bool nextLine(std::string& line, std::size_t limit)
    {
        if (!reader_.nextLine(line, limit))
            return false;
        done_ = reader_.consumed();
        return true;
    }
    std::uint64_t overlongLines() const { return reader_.overlongLines(); }
    std::uint64_t done() const { return done_; }
    std::uint64_t total() const { return total_; }

private:
    LineReader reader_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
};

} // namespace varno
