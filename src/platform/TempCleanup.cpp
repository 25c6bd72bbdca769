// Temporary files of this process: stamped with its id, removed on SIGINT and SIGTERM.
#include "TempCleanup.h"

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

#include "base/LiveTemporaries.h"

namespace varno::platform {
namespace {

bool processAlive(unsigned long id)
{
    // EPERM: it runs, as someone else.
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

extern "C" void removeTemporariesAndDie(int signal)
{
    const int saved = errno;
    liveTemporaries::removeAll(::unlink);
    errno = saved;
    // The default action then ends the process, so the parent still sees
    // death by this signal (a shell's 130 for Ctrl-C).
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

void installTemporaryCleanup()
{
    setTemporaryOwner({static_cast<unsigned long>(::getpid()), &processAlive});
    struct sigaction sa {};
    sa.sa_handler = &removeTemporariesAndDie;
    sigemptyset(&sa.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &sa, nullptr);
    }
}

} // namespace varno::platform
