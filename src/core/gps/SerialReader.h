// GetSerialDataThread: reads the receiver, logs every line, hands sentences over.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "gps/NmeaLog.h"
#include "gps/SentenceMailbox.h"
#include "gps/PositionSource.h"

namespace varno::gps {

// The reader thread over an open PositionSource (a serial port, gpsd, a TCP
// stream). It assembles lines (CR ends a
// line, LF is ignored, a line growing past 99 characters is emptied), appends
// every line to the NMEA log, and offers the position sentences (see
// passesHandOffFilter) to the mailbox; when the mailbox takes one, the
// sentence callback runs.
//
// The callbacks run on the reader thread. The GUI turns them into queued
// calls on the view; nothing here touches a Prompt, so nothing needs to be
// thread-safe beyond the mailbox and the log.
class SerialReader {
public:
    struct Callbacks {
        // A sentence is waiting in the mailbox.
        std::function<void()> sentence;
        // The device stopped answering (unplugged); the text is for the user.
        // Called at most once per start, after which the thread ends.
        std::function<void(const std::string& message)> gone;
        // The NMEA log could not be written and was closed; the text is for
        // the user. Reading goes on.
        std::function<void(const std::string& message)> logFailed = {};
        // With a reopen step set: the device went away and the reader waits
        // for it to return (instead of `gone`), and it came back and reading
        // resumed. The texts are for the status bar.
        std::function<void(const std::string& message)> waiting = {};
        std::function<void(const std::string& message)> resumed = {};
    };

    // Opens the device again after it went away: true when it is back and
    // ready to read. Runs on the reader thread while the reader owns the
    // source (between start() and stop()).
    using Reopen = std::function<bool()>;

    // Figures the benchmark and the curious read; updated by the reader thread.
    struct Stats {
        std::uint64_t bytes = 0;      // bytes read from the port
        std::uint64_t lines = 0;      // lines ended by CR (all logged)
        std::uint64_t handedOver = 0; // sentences the mailbox took
        std::uint64_t overlong = 0;   // lines emptied for growing past 99 characters
    };

    static constexpr std::size_t kMaxLine = 99;

    SerialReader(PositionSource& port, SentenceMailbox& mailbox, NmeaLog& log);
    ~SerialReader();
    SerialReader(const SerialReader&) = delete;
    SerialReader& operator=(const SerialReader&) = delete;

    void setCallbacks(Callbacks callbacks);

    // With a reopen step the reader outlives an unplugged or dropped device:
    // it tries `reopen` every `retry` until the device is back or stop() is
    // called. Without one (the default) a gone device ends the thread.
    void setReopen(Reopen reopen, std::chrono::milliseconds retry = std::chrono::milliseconds(250));

    // Starts the thread; the mailbox is emptied first. portName only goes
    // into the message when the device goes away. False (and no thread) when
    // the port is not open. A reader still running is stopped first.
    bool start(const std::string& portName);

    // Asks the thread to leave its loop, wakes a pending read and waits for
    // the thread to end. Once stop() returns the port is no longer used, so
    // it may be closed. Safe to call when not running.
    void stop();

    // True between start() and the end of the thread (stop or device gone).
    bool running() const { return running_.load(); }

    Stats stats() const;

    // The message shown when the device on portName stops responding.
    static std::string goneMessage(std::string_view portName);
    // The status texts while waiting for the device and once it is back.
    static std::string waitingMessage(std::string_view portName);
    static std::string resumedMessage(std::string_view portName);

private:
    void run(std::string portName);
    // Waits for the device to come back; false when stop() came first.
    bool awaitReturn(const std::string& portName);

    PositionSource& port_;
    SentenceMailbox& mailbox_;
    NmeaLog& log_;
    Callbacks callbacks_;
    Reopen reopen_;
    std::chrono::milliseconds retry_{250};
    std::mutex waitMutex_;
    std::condition_variable waitCv_;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> bytes_{0}, lines_{0}, handedOver_{0}, overlong_{0};
};

} // namespace varno::gps
