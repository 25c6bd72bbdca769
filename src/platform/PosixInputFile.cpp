// Opening files to read without blocking.
#include "PosixInputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varno::platform {

FileHandle openForReadingNonBlocking(const std::string& path, std::string* refusal, std::uintmax_t maxBytes)
{
    if (refusal)
        refusal->clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr; // errno says why
    std::string why;
    int err = EINVAL;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        err = errno;
    } else if (S_ISDIR(st.st_mode)) {
        why = "a folder";
        err = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        why = "not a regular file";
    } else if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        why = "larger than " + inputSizeText(maxBytes);
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
            if (std::FILE* f = ::fdopen(fd, "rb"))
                return FileHandle(f);
        }
        err = errno;
    }
    ::close(fd);
    if (refusal)
        *refusal = why;
    errno = err;
    return nullptr;
}

void installNonBlockingReadOpener()
{
    setReadOpener(&openForReadingNonBlocking);
}

} // namespace varno::platform
