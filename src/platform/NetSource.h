// gpsd and raw NMEA over TCP as position sources.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "gps/PositionSource.h"
#include "gps/SourceName.h"
#include "gps/StreamLines.h"

namespace varno::platform {

// A TCP connection to gpsd ("gpsd://host:port": asks for NMEA with
// ?WATCH and passes on only the NMEA lines) or to a device or phone app that
// streams NMEA ("tcp://host:port": every line). The socket never blocks:
// connect and read wait with poll() on the socket and a wake pipe, so
// interruptRead() ends either promptly, and a quiet peer costs no CPU. Lines
// come out ended by CR LF whatever the peer used (see gps::StreamLines).
class NetSource final : public gps::PositionSource {
public:
    NetSource();
    ~NetSource() override;
    NetSource(const NetSource&) = delete;
    NetSource& operator=(const NetSource&) = delete;

    bool open(const std::string& name) override;
    bool isOpen() const override { return fd_ >= 0; }
    std::string openFailureReason() const override { return failure_; }
    gps::ReadResult read(std::span<char> buffer) override;
    void interruptRead() override;
    bool write(std::string_view data) override;
    bool close() override;

    void setReadTimeout(std::chrono::milliseconds timeout) { timeoutMs_ = int(timeout.count()); }
    void setConnectTimeout(std::chrono::milliseconds timeout) { connectMs_ = int(timeout.count()); }

    // What the line filter did on this connection so far (reader thread only).
    const gps::StreamLines::Stats& lineStats() const { return lines_.stats(); }

    // The request that makes gpsd stream the receiver's NMEA sentences.
    static constexpr std::string_view kWatchRequest = "?WATCH={\"enable\":true,\"nmea\":true};\n";

private:
    bool connectTo(const gps::NetworkSource& where);
    // 0 once connected, else the errno (ETIMEDOUT, ECANCELED when woken).
    int waitWritable(int fd);
    void drainWake();

    int fd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<int> timeoutMs_{2000};
    std::atomic<int> connectMs_{2000};
    gps::StreamLines lines_;
    std::string pending_; // filtered lines not yet handed to read()
    std::size_t pendingAt_ = 0;
    std::string failure_; // why the last open() failed
};

} // namespace varno::platform
