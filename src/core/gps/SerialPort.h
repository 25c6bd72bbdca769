// The serial port the GPS receiver is attached to, as the core sees it.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "gps/PositionSource.h"

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

// One serial device (open() takes it for reading and writing, shared with
// nobody). Opening, configuring and closing happen on one thread;
// read() runs on the reader thread while the port is open. interruptRead() may
// be called from any thread.
class SerialPort : public PositionSource {
public:
    // The port's current line settings; nullopt when they cannot be read.
    virtual std::optional<LineSettings> state() = 0;

    // Applies the line settings together with the program's fixed line
    // discipline: raw bytes, no flow control of any kind, DTR and RTS raised.
    virtual bool applyState(const LineSettings& settings) = 0;

    // How long read() waits for the first byte before it returns Timeout.
    virtual bool setReadTimeout(std::chrono::milliseconds timeout) = 0;

    // Forgets any pending line error (overrun, framing, parity).
    virtual void clearErrors() = 0;
};

} // namespace varno::gps
