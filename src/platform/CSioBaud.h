// Any baud rate the kernel accepts, through termios2 (kept apart from <termios.h>).
#pragma once

#include <optional>

namespace varno::platform {

// Sets input and output speed of the tty fd to baud bits per second, standard
// rate or not (BOTHER). False when the driver refuses it.
bool setAnyBaudRate(int fd, unsigned baud);

// The output speed the tty fd runs at.
std::optional<unsigned> anyBaudRate(int fd);

} // namespace varno::platform
