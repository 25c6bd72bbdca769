// The serial port the GPS receiver is attached to, as the core sees it.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace varno::gps {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// The line settings of an open port.
struct LineSettings {
    unsigned baud = 4800;
    int dataBits = 8; // 5..8
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings&) const = default;
};

// What one read brought: bytes, nothing within the read time-out, or the
// device is gone (unplugged receiver, hung-up line). A gone device never comes
// back on the same handle; the port has to be closed and opened again.
enum class ReadStatus { Data, Timeout, Gone };

struct ReadResult {
    ReadStatus status = ReadStatus::Timeout;
    std::size_t count = 0; // bytes placed in the buffer when status is Data
};

// One serial device. Opening, configuring and closing happen on one thread;
// read() runs on the reader thread while the port is open. interruptRead() may
// be called from any thread.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens an existing device for reading and writing, shared with nobody.
    // `name` is the stored port name ("Com1", or a device path).
    virtual bool open(const std::string& name) = 0;
    virtual bool isOpen() const = 0;

    // The port's current line settings; nullopt when they cannot be read.
    virtual std::optional<LineSettings> state() = 0;

    // Applies the line settings together with the program's fixed line
    // discipline: raw bytes, no flow control of any kind, DTR and RTS raised.
    virtual bool applyState(const LineSettings& settings) = 0;

    // How long read() waits for the first byte before it returns Timeout.
    virtual bool setReadTimeout(std::chrono::milliseconds timeout) = 0;

    // Forgets any pending line error (overrun, framing, parity).
    virtual void clearErrors() = 0;

    // Waits up to the read time-out for bytes and returns what is there (at
    // most buffer.size() bytes). Returns Timeout at once after interruptRead().
    virtual ReadResult read(std::span<char> buffer) = 0;

    // Makes a read that is waiting (or the next one) return promptly; lets
    // Stop end the reader without waiting for a full time-out.
    virtual void interruptRead() = 0;

    virtual bool write(std::string_view data) = 0;

    // False when the system reported a failure closing the device; the port
    // counts as closed either way.
    virtual bool close() = 0;
};

} // namespace varno::gps
