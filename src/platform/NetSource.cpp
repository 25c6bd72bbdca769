// gpsd and raw NMEA over TCP as position sources.
#include "NetSource.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "FdWrite.h"
#include "SystemError.h"

namespace varno::platform {

using gps::ReadResult;
using gps::ReadStatus;

NetSource::NetSource()
{
    int p[2];
    if (::pipe2(p, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = p[0];
        wakeWrite_ = p[1];
    }
}

NetSource::~NetSource()
{
    close();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

int NetSource::waitWritable(int fd)
{
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
    const int n = ::poll(fds, wakeRead_ >= 0 ? 2 : 1, connectMs_.load());
    if (n < 0)
        return errno;
    if (n == 0)
        return ETIMEDOUT;
    if (wakeRead_ >= 0 && (fds[1].revents & POLLIN))
        return ECANCELED;
    int err = 0;
    socklen_t len = sizeof err;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 ? err : errno;
}

bool NetSource::connectTo(const gps::NetworkSource& where)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(where.port);
    if (const int rc = ::getaddrinfo(where.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        failure_ = where.host + ": " + ::gai_strerror(rc);
        return false;
    }
    int err = 0; // of the last address tried
    for (addrinfo* a = found; a && fd_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            err = errno;
            continue;
        }
        err = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (err == EINPROGRESS)
            err = waitWritable(fd);
        if (err == 0)
            fd_ = fd;
        else
            ::close(fd);
    }
    // Stopped on the way: nothing to explain.
    if (fd_ < 0 && err != 0 && err != ECANCELED) {
        failure_ = systemErrorText(err);
        if (err == ECONNREFUSED && where.kind == gps::SourceKind::Gpsd)
            failure_ += " \u2014 is gpsd running?";
    }
    ::freeaddrinfo(found);
    if (fd_ >= 0) {
        // Sentences are small and should not wait for company.
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    return fd_ >= 0;
}

bool NetSource::open(const std::string& name)
{
    close();
    failure_.clear();
    const auto where = gps::parseNetworkSource(name);
    if (!where) {
        failure_ = "Not a host and port to connect to";
        return false;
    }
    drainWake();
    if (!connectTo(*where))
        return false;
    const bool gpsd = where->kind == gps::SourceKind::Gpsd;
    lines_.reset(gpsd ? gps::StreamLines::Mode::Gpsd : gps::StreamLines::Mode::Raw);
    pending_.clear();
    pendingAt_ = 0;
    if (gpsd && !write(kWatchRequest)) {
        failure_ = "gpsd did not take the request for NMEA";
        close();
        return false;
    }
    return true;
}

ReadResult NetSource::read(std::span<char> buffer)
{
    if (fd_ < 0)
        return {ReadStatus::Gone, 0};
    if (pendingAt_ == pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int n = ::poll(fds, wakeRead_ >= 0 ? 2 : 1, timeoutMs_.load());
        if (n < 0)
            return {errno == EINTR ? ReadStatus::Timeout : ReadStatus::Gone, 0};
        if (n == 0)
            return {ReadStatus::Timeout, 0};
        if (wakeRead_ >= 0 && (fds[1].revents & POLLIN)) {
            drainWake();
            return {ReadStatus::Timeout, 0};
        }
        if (fds[0].revents & POLLNVAL)
            return {ReadStatus::Gone, 0};
        // One socket read at a time keeps what is held here bounded however
        // fast the peer sends.
        std::array<char, 4096> chunk;
        const ssize_t got = ::recv(fd_, chunk.data(), chunk.size(), 0);
        if (got == 0)
            return {ReadStatus::Gone, 0}; // the peer closed the connection
        if (got < 0)
            return {errno == EAGAIN || errno == EINTR ? ReadStatus::Timeout : ReadStatus::Gone, 0};
        lines_.feed(std::string_view(chunk.data(), std::size_t(got)), pending_);
        if (pending_.empty())
            return {ReadStatus::Timeout, 0};
    }
    const std::size_t count = std::min(buffer.size(), pending_.size() - pendingAt_);
    std::memcpy(buffer.data(), pending_.data() + pendingAt_, count);
    pendingAt_ += count;
    return {ReadStatus::Data, count};
}

void NetSource::interruptRead()
{
    if (wakeWrite_ >= 0) {
        const char b = 1;
        (void)::write(wakeWrite_, &b, 1);
    }
}

void NetSource::drainWake()
{
    if (wakeRead_ < 0)
        return;
    char sink[64];
    while (::read(wakeRead_, sink, sizeof sink) > 0) {
    }
}

bool NetSource::write(std::string_view data)
{
    return writeAll(fd_, data, timeoutMs_.load(), true);
}

bool NetSource::close()
{
    if (fd_ < 0)
        return true;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

} // namespace varno::platform
