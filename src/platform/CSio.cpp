// The GPS serial port on Linux: a termios tty opened exclusively.
#include "CSio.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "FdWrite.h"
#include "SystemError.h"

#include "CSioBaud.h"
#include "gps/PortList.h"

namespace varno::platform {
namespace {

// The standard rates termios names; others go through termios2.
speed_t standardSpeed(unsigned baud)
{
    switch (baud) {
    case 50:
        return B50;
    case 75:
        return B75;
    case 110:
        return B110;
    case 134:
        return B134;
    case 150:
        return B150;
    case 200:
        return B200;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 1800:
        return B1800;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 500000:
        return B500000;
    case 576000:
        return B576000;
    case 921600:
        return B921600;
    case 1000000:
        return B1000000;
    default:
        return B0;
    }
}

bool deviceGoneErrno(int e)
{
    return e == EIO || e == ENXIO || e == ENODEV || e == EBADF || e == EPIPE;
}

} // namespace

CSio::CSio()
{
    int p[2];
    if (::pipe2(p, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = p[0];
        wakeWrite_ = p[1];
    }
}

CSio::~CSio()
{
    close();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

bool CSio::open(const std::string& name)
{
    close();
    openErrno_ = 0;
    const auto path = gps::devicePathForPort(name);
    if (!path)
        return failOpen(-1, ENOENT);
    // Non-blocking so that neither a missing carrier nor a full output queue
    // can hang us; read() and write() wait with poll() instead.
    const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failOpen(-1, errno);
    // Only real terminals: a regular file or a directory is no port.
    // TIOCEXCL keeps other programs out; the lock catches one that opened the
    // device before us.
    if (!::isatty(fd))
        return failOpen(fd, ENOTTY);
    if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return failOpen(fd, errno == EWOULDBLOCK ? EBUSY : errno);
    fd_ = fd;
    drainWake();
    return true;
}

bool CSio::failOpen(int fd, int err)
{
    if (fd >= 0)
        ::close(fd);
    openErrno_ = err;
    return false;
}

std::string CSio::openFailureText(int err)
{
    if (err == 0)
        return {};
    if (err == ENOTTY)
        return "Not a serial device";
    std::string text = systemErrorText(err);
    if (err == EACCES || err == EPERM)
        text += " \u2014 is your user in the dialout group?";
    else if (err == ENOENT || err == ENODEV || err == ENXIO)
        text += " \u2014 the device is not plugged in";
    else if (err == EBUSY)
        text += " \u2014 another program is using the port";
    return text;
}

gps::LineSettings CSio::lineFlagsToSettings(const termios& tio)
{
    gps::LineSettings s;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        s.dataBits = 5;
        break;
    case CS6:
        s.dataBits = 6;
        break;
    case CS7:
        s.dataBits = 7;
        break;
    default:
        s.dataBits = 8;
        break;
    }
    if (!(tio.c_cflag & PARENB))
        s.parity = gps::Parity::None;
    else if (tio.c_cflag & CMSPAR)
        s.parity = (tio.c_cflag & PARODD) ? gps::Parity::Mark : gps::Parity::Space;
    else
        s.parity = (tio.c_cflag & PARODD) ? gps::Parity::Odd : gps::Parity::Even;
    s.stopBits = (tio.c_cflag & CSTOPB) ? gps::StopBits::Two : gps::StopBits::One;
    return s;
}

void CSio::composeLineFlags(termios& tio, const gps::LineSettings& s)
{
    // Raw bytes: CR must arrive as CR (it ends a sentence), nothing is
    // translated, echoed or taken as a signal. The parity-check flags
    // (INPCK, IGNPAR, PARMRK) are left as the port had them.
    tio.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cflag |= s.dataBits == 5 ? CS5 : s.dataBits == 6 ? CS6 : s.dataBits == 7 ? CS7 : CS8;
    switch (s.parity) {
    case gps::Parity::None:
        break;
    case gps::Parity::Odd:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case gps::Parity::Even:
        tio.c_cflag |= PARENB;
        break;
    case gps::Parity::Mark:
        tio.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case gps::Parity::Space:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // termios knows one or two stop bits; 1.5 (only meaningful with 5 data
    // bits on a real UART) runs as two.
    if (s.stopBits != gps::StopBits::One)
        tio.c_cflag |= CSTOPB;
    // read() polls, so the tty itself never waits.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

std::optional<gps::LineSettings> CSio::state()
{
    termios tio{};
    if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0)
        return std::nullopt;
    gps::LineSettings s = lineFlagsToSettings(tio);
    const auto baud = anyBaudRate(fd_);
    if (!baud)
        return std::nullopt;
    s.baud = *baud;
    return s;
}

bool CSio::applyState(const gps::LineSettings& s)
{
    if (fd_ < 0 || s.baud == 0 || s.dataBits < 5 || s.dataBits > 8)
        return false;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0)
        return false;
    composeLineFlags(tio, s);
    // A speed set earlier through termios2 (BOTHER) is nothing glibc's
    // tcsetattr can pass on, so the speed field is always set here: the
    // rate itself when termios has a name for it, else a stand-in that
    // termios2 replaces at once.
    const speed_t named = standardSpeed(s.baud);
    ::cfsetispeed(&tio, named != B0 ? named : B38400);
    ::cfsetospeed(&tio, named != B0 ? named : B38400);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0)
        return false;
    if (named == B0 && !setAnyBaudRate(fd_, s.baud))
        return false;
    // DTR and RTS up: some receivers take their power or their cue from them.
    // A pseudo-terminal has no modem lines; that is no failure.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd_, TIOCMBIS, &lines);
    return true;
}

bool CSio::setReadTimeout(std::chrono::milliseconds timeout)
{
    if (fd_ < 0 || timeout.count() < 0)
        return false;
    timeoutMs_ = int(timeout.count());
    return true;
}

void CSio::clearErrors()
{
    // The tty layer keeps no sticky error state that blocks reading (unlike
    // the Windows driver), so there is nothing to clear.
}

gps::ReadResult CSio::read(std::span<char> buffer)
{
    using gps::ReadStatus;
    if (fd_ < 0)
        return {ReadStatus::Gone, 0};
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int n = ::poll(fds, wakeRead_ >= 0 ? 2 : 1, timeoutMs_.load());
    if (n < 0)
        return {errno == EINTR || errno == EAGAIN ? ReadStatus::Timeout : ReadStatus::Gone, 0};
    if (n == 0)
        return {ReadStatus::Timeout, 0};
    if (wakeRead_ >= 0 && (fds[1].revents & POLLIN)) {
        drainWake();
        return {ReadStatus::Timeout, 0};
    }
    const short ev = fds[0].revents;
    if (ev & POLLNVAL)
        return {ReadStatus::Gone, 0};
    if (ev & (POLLIN | POLLHUP | POLLERR)) {
        // Bytes still buffered are delivered before a hang-up is reported.
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got > 0)
            return {ReadStatus::Data, std::size_t(got)};
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return {(ev & (POLLHUP | POLLERR)) ? ReadStatus::Gone : ReadStatus::Timeout, 0};
        if (got < 0 && deviceGoneErrno(errno))
            return {ReadStatus::Gone, 0};
        if (got == 0 && (ev & (POLLHUP | POLLERR)))
            return {ReadStatus::Gone, 0};
        return {got < 0 ? ReadStatus::Gone : ReadStatus::Timeout, 0};
    }
    return {ReadStatus::Timeout, 0};
}

void CSio::interruptRead()
{
    if (wakeWrite_ >= 0) {
        const char b = 1;
        (void)::write(wakeWrite_, &b, 1);
    }
}

void CSio::drainWake()
{
    if (wakeRead_ < 0)
        return;
    char sink[64];
    while (::read(wakeRead_, sink, sizeof sink) > 0) {
    }
}

bool CSio::write(std::string_view data)
{
    return writeAll(fd_, data, timeoutMs_.load(), false);
}

bool CSio::close()
{
    if (fd_ < 0)
        return false;
    const int fd = fd_;
    fd_ = -1;
    // The lock and the exclusive mode end with the descriptor.
    return ::close(fd) == 0;
}

} // namespace varno::platform
