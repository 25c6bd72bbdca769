// gpsfake feeding a log to the gpsd it starts, for tests and benchmarks that
// need a real gpsd. Both run in a process group of their own, ended together.
#pragma once

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace varno::test {

class Gpsfake {
public:
    static constexpr const char* kProgram = "/usr/bin/gpsfake";

    // gpsfake -1 -q -P port -c cycle log, its output dropped; started() says
    // whether it could be run.
    Gpsfake(std::uint16_t port, const std::string& cycleSeconds, const std::string& log)
    {
        const std::string portText = std::to_string(port);
        const char* argv[] = {"gpsfake",   "-1",   "-q", "-P", portText.c_str(), "-c", cycleSeconds.c_str(),
                              log.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        if (posix_spawn(&pid_, kProgram, &actions, &attr, const_cast<char**>(argv), environ) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    ~Gpsfake() { end(); }
    Gpsfake(const Gpsfake&) = delete;
    Gpsfake& operator=(const Gpsfake&) = delete;

    bool started() const { return pid_ > 0; }

    // Ends gpsfake and its gpsd.
    void end()
    {
        if (pid_ <= 0)
            return;
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
};

} // namespace varno::test
