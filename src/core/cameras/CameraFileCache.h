// Keeps the last camera file read, parsed and indexed, until it changes on disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "cameras/CameraFile.h"

namespace varno::cameras {

// A reload of the same, unchanged file (same path, size and modification time)
// reuses the parsed file; any change on disk makes the next load read it again.
class CameraFileCache {
public:
    enum class Status { Ok, CannotOpen, OutOfMemory };

    // The file at path, read again only when it changed. On failure the cache
    // is emptied and file() must not be used.
    Status load(const std::string& path);
    // Why the last CannotOpen was a refusal of the file ("not a regular
    // file", ...), or empty when the open itself failed.
    const std::string& refusal() const { return refusal_; }
    const CameraFile& file() const { return *file_; }
    // Changes whenever another file (or another version of it) was read.
    std::uint64_t generation() const { return parses_; }

    // How many times a file was actually read and parsed (for tests and figures).
    std::uint64_t parseCount() const { return parses_; }

private:
    std::shared_ptr<const CameraFile> file_;
    std::string path_;
    std::string refusal_;
    std::uintmax_t size_ = 0;
    std::filesystem::file_time_type mtime_{};
    std::uint64_t parses_ = 0;
};

} // namespace varno::cameras
