// Writing all of a buffer to a non-blocking descriptor.
#include "FdWrite.h"

#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace varno::platform {

bool writeAll(int fd, std::string_view data, int timeoutMs, bool socket)
{
    if (fd < 0)
        return false;
    while (!data.empty()) {
        const ssize_t n = socket ? ::send(fd, data.data(), data.size(), MSG_NOSIGNAL)
                                 : ::write(fd, data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(std::size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, timeoutMs) <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace varno::platform
