// Where the reader thread gets its bytes: a serial receiver, gpsd, a TCP stream.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace varno::gps {

// What one read brought: bytes, nothing within the read time-out, or the
// device is gone (unplugged receiver, hung-up line, dropped connection). A
// gone device never comes back on the same handle; the source has to be
// closed and opened again.
enum class ReadStatus { Data, Timeout, Gone };

struct ReadResult {
    ReadStatus status = ReadStatus::Timeout;
    std::size_t count = 0; // bytes placed in the buffer when status is Data
};

// A byte stream of NMEA lines. Opening and closing happen on one thread;
// read() runs on the reader thread while the source is open (and the reader
// may close and open it again to resume after the device came back).
// interruptRead() may be called from any thread.
class PositionSource {
public:
    virtual ~PositionSource() = default;

    // `name` is the stored port name ("Com1", a device path) or a network
    // source ("gpsd://host:port", "tcp://host:port").
    virtual bool open(const std::string& name) = 0;
    virtual bool isOpen() const = 0;
    // Why the last open() failed, in the system's words with a hint where
    // one helps ("Permission denied — is your user in the dialout group?");
    // empty when there is nothing to add.
    virtual std::string openFailureReason() const { return {}; }

    // Waits up to the read time-out for bytes and returns what is there (at
    // most buffer.size() bytes). Returns Timeout at once after interruptRead().
    virtual ReadResult read(std::span<char> buffer) = 0;

    // Makes a read that is waiting (or the next one) return promptly; lets
    // Stop end the reader without waiting for a full time-out.
    virtual void interruptRead() = 0;

    virtual bool write(std::string_view data) = 0;

    // False when the system reported a failure closing the device; the source
    // counts as closed either way.
    virtual bool close() = 0;
};

} // namespace varno::gps
