// Opening a file to read it: the one way every reader of the program does it.
#include "base/InputFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace varno {

FileHandle openForReading(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        errno = EISDIR; // what a failed check left there would name another fault
        return nullptr;
    }
    return FileHandle(std::fopen(path.c_str(), "rb"));
}

} // namespace varno
