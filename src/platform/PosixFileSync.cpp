// fsync-backed FileSync for the settings file and other durable writes.
#include "PosixFileSync.h"

#include <unistd.h>

namespace varno::platform {

bool PosixFileSync::flushToDisk(std::FILE* f)
{
    if (std::fflush(f) != 0)
        return false;
    return fsync(fileno(f)) == 0;
}

} // namespace varno::platform
