// Any baud rate the kernel accepts, through termios2 (kept apart from <termios.h>).
//
// <asm/termbits.h> declares its own struct termios and clashes with glibc's
// <termios.h>, so this file must not include that header (nor anything that
// pulls it in).
#include "CSioBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace varno::platform {

bool setAnyBaudRate(int fd, unsigned baud)
{
    if (baud == 0)
        return false; // speed 0 means "hang up", never a line setting
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

std::optional<unsigned> anyBaudRate(int fd)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return std::nullopt;
    return tio.c_ospeed;
}

} // namespace varno::platform
