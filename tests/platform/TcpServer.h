// A listening socket on 127.0.0.1 for tests of network sources.
#pragma once

#include <arpa/inet.h>
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "TestPty.h"

namespace varno::test {

// Can be shut and opened again on the same port.
class TcpServer {
public:
    TcpServer() { listen(0); }
    ~TcpServer() { shut(); }
    // Whether the port could be taken.
    bool listen(std::uint16_t want)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(want);
        socklen_t len = sizeof a;
        const bool ok = ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                        ::listen(listener_, 4) == 0 &&
                        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) == 0;
        port = ntohs(a.sin_port);
        return ok;
    }
    // Waits for the program to connect.
    bool accept()
    {
        client_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return client_ >= 0;
    }
    bool send(const std::string& s) const
    {
        return ::send(client_, s.data(), s.size(), MSG_NOSIGNAL) == ssize_t(s.size());
    }
    // What the program sent, up to `want` bytes (or 10 s).
    std::string receive(std::size_t want) const
    {
        std::string got;
        char buf[256];
        timeval tv{10, 0};
        ::setsockopt(client_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        ssize_t n = 0;
        while (got.size() < want && (n = ::recv(client_, buf, sizeof buf, 0)) > 0)
            got.append(buf, std::size_t(n));
        return got;
    }
    void shut()
    {
        Pty::closeFd(client_);
        Pty::closeFd(listener_);
    }
    std::string name(const char* scheme) const
    {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port);
    }

    std::uint16_t port = 0;

private:
    int listener_ = -1;
    int client_ = -1;
};

} // namespace varno::test
