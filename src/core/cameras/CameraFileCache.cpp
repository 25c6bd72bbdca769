// Keeps the last camera file read, parsed and indexed, until it changes on disk.
#include "cameras/CameraFileCache.h"

#include <cstdio>
#include <new>
#include <system_error>

#include "base/InputFile.h"

namespace varno::cameras {

CameraFileCache::Status CameraFileCache::load(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec1, ec2;
    std::uintmax_t size = fs::file_size(path, ec1);
    fs::file_time_type mtime = fs::last_write_time(path, ec2);
    bool statOk = !ec1 && !ec2;
    if (statOk && file_ && path == path_ && size == size_ && mtime == mtime_)
        return Status::Ok;

    file_.reset();
    const FileHandle f = openForReading(path, &refusal_);
    if (!f)
        return Status::CannotOpen;
    try {
        std::string text;
        if (statOk)
            text.reserve(size);
        char buf[1 << 16];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0)
            text.append(buf, got);
        if (std::ferror(f.get()))
            return Status::CannotOpen;
        file_ = std::make_shared<const CameraFile>(std::move(text));
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    } catch (const std::length_error&) {
        return Status::OutOfMemory;
    }
    ++parses_;
    // Only a file whose size and time are known can be recognised next time.
    path_ = statOk ? path : std::string();
    size_ = size;
    mtime_ = mtime;
    return Status::Ok;
}

} // namespace varno::cameras
