// Opening a file to read it: the one way every reader of the program does it.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace varno {

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for reading, bytes as they are. A folder is refused: on Linux
// fopen opens one, and every read of it then fails as if the file were empty,
// so a folder picked by mistake would "replay" or "load" nothing and report
// success. On failure errno says why: EISDIR for a folder, else what fopen set.
FileHandle openForReading(const std::string& path);

} // namespace varno
