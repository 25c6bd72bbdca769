// The GPS serial port on Linux: a termios tty opened exclusively.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "gps/SerialPort.h"

struct termios;

namespace varno::platform {

// SerialPort over a tty device. "ComN" opens /dev/ttySN-1, a path starting
// with "/" is opened as it is (USB receivers: /dev/ttyUSB0, /dev/serial/by-id/...).
//
// The port is opened exclusively (TIOCEXCL plus an advisory lock), in raw mode,
// without flow control, with DTR and RTS raised. read() waits with poll() for
// up to the read time-out and tells a timeout from a device that has gone
// away (POLLHUP, EIO/ENXIO/ENODEV). 1.5 stop bits have no termios form and run
// as 2; state() then reports Two.
class CSio final : public gps::SerialPort {
public:
    CSio();
    ~CSio() override;
    CSio(const CSio&) = delete;
    CSio& operator=(const CSio&) = delete;

    bool open(const std::string& name) override;
    bool isOpen() const override { return fd_ >= 0; }
    std::string openFailureReason() const override { return openFailureText(openErrno_); }
    std::optional<gps::LineSettings> state() override;
    bool applyState(const gps::LineSettings& settings) override;
    bool setReadTimeout(std::chrono::milliseconds timeout) override;
    void clearErrors() override;
    gps::ReadResult read(std::span<char> buffer) override;
    void interruptRead() override;
    bool write(std::string_view data) override;
    bool close() override;

    // The tty's file descriptor, -1 while closed (for tests that read flags back).
    int fd() const { return fd_; }

    // The termios form of the settings, apart from the speed: data bits,
    // parity and stop bits in c_cflag plus the raw line discipline. And back.
    // (A pseudo-terminal forces CS8 without parity, so tests check the flags
    // here and the rest on a device.)
    static void composeLineFlags(termios& tio, const gps::LineSettings& s);
    static gps::LineSettings lineFlagsToSettings(const termios& tio);

    // The system's text for an errno of a failed open, with a hint for the
    // usual causes; empty for 0.
    static std::string openFailureText(int err);

private:
    void drainWake();
    // Closes a half-opened descriptor and keeps why the open failed.
    bool failOpen(int fd, int err);

    int fd_ = -1;
    int openErrno_ = 0; // of the last open(); 0 after a success
    int wakeRead_ = -1; // a pipe that interruptRead() writes to, polled with the tty
    int wakeWrite_ = -1;
    std::atomic<int> timeoutMs_{2000};
};

} // namespace varno::platform
