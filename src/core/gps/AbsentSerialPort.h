// A serial port with no receiver behind it: every open fails, every read finds it gone.
#pragma once

#include "gps/SerialPort.h"

namespace varno::gps {

// For a session that only ever replays logs, and for tests of everything
// around the port.
class AbsentSerialPort final : public SerialPort {
public:
    bool open(const std::string&) override { return false; }
    bool isOpen() const override { return false; }
    std::optional<LineSettings> state() override { return std::nullopt; }
    bool applyState(const LineSettings&) override { return false; }
    bool setReadTimeout(std::chrono::milliseconds) override { return false; }
    void clearErrors() override {}
    ReadResult read(std::span<char>) override { return {ReadStatus::Gone, 0}; }
    void interruptRead() override {}
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }
};

} // namespace varno::gps
