// The GPS port the program opens: a serial receiver, gpsd or a TCP stream, by name.
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <string>

#include "CSio.h"
#include "NetSource.h"
#include "gps/SerialPort.h"

namespace varno::platform {

// Opens a network source name ("gpsd://…", "tcp://…") as a NetSource and
// anything else as a serial port (CSio). The line settings only mean
// something on a serial port; on a network source they read as 4800 8N1 and
// applying them succeeds without effect.
//
// A serial device opened by a path that has a stable name in the by-id folder
// (/dev/serial/by-id/usb-…, a link to /dev/ttyUSB0) is opened again by that
// name: a receiver plugged back in may come back as another ttyUSB, and the
// old ttyUSB name may by then belong to another device.
class SourcePort final : public gps::SerialPort {
public:
    explicit SourcePort(std::filesystem::path byIdFolder = "/dev/serial/by-id");

    bool open(const std::string& name) override;
    bool isOpen() const override { return active()->isOpen(); }
    std::string openFailureReason() const override { return active()->openFailureReason(); }
    std::optional<gps::LineSettings> state() override;
    bool applyState(const gps::LineSettings& settings) override;
    bool setReadTimeout(std::chrono::milliseconds timeout) override;
    void clearErrors() override;
    gps::ReadResult read(std::span<char> buffer) override;
    void interruptRead() override;
    bool write(std::string_view data) override;
    bool close() override;

    bool network() const { return network_.load(); }

    // The link in `byIdFolder` that leads to the same device as `path`, if any.
    static std::optional<std::string> stableName(const std::filesystem::path& byIdFolder,
                                                 const std::string& path);

private:
    gps::PositionSource* active()
    {
        return network_.load() ? static_cast<gps::PositionSource*>(&net_) : &serial_;
    }
    const gps::PositionSource* active() const
    {
        return network_.load() ? static_cast<const gps::PositionSource*>(&net_) : &serial_;
    }

    std::filesystem::path byIdFolder_;
    CSio serial_;
    NetSource net_;
    std::atomic<bool> network_{false};
    std::map<std::string, std::string> stableNames_; // opened path -> by-id link
};

} // namespace varno::platform
