// A pseudo-terminal playing the GPS receiver, and an environment variable set for one scope.
#pragma once

#include <cstdlib>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

#include "core/base/ScratchFiles.h"

namespace varno::test {

// The test writes to the master as the receiver would; the program opens the slave by its path.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        closeMaster();
        closeSlave();
    }
    static void closeFd(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void closeMaster() { closeFd(master); }
    void closeSlave() { closeFd(slave); }
    bool send(const std::string& s) const { return ::write(master, s.data(), s.size()) == ssize_t(s.size()); }
    // What the program wrote, until want bytes came or the line stays quiet for 10 s.
    std::string receive(std::size_t want) const
    {
        std::string got;
        char buf[512];
        pollfd p{master, POLLIN, 0};
        ssize_t n = 0;
        while (got.size() < want && ::poll(&p, 1, 10000) > 0 && (n = ::read(master, buf, sizeof buf)) > 0)
            got.append(buf, std::size_t(n));
        return got;
    }
};

// Sets an environment variable for one scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            this->old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
    const char* name;
    std::optional<std::string> old;
};

} // namespace varno::test
