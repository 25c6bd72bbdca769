// Writing all of a buffer to a non-blocking descriptor.
#pragma once

#include <string_view>

namespace varno::platform {

// Writes every byte of data to fd, waiting up to timeoutMs for room each time
// the descriptor is full. A socket is written with send(MSG_NOSIGNAL), so a
// peer that went away gives false instead of SIGPIPE. False on any failure.
bool writeAll(int fd, std::string_view data, int timeoutMs, bool socket);

} // namespace varno::platform
