// Sending a log file out of a serial port, line by line, on a worker thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "base/Prompt.h"
#include "gps/GpsControl.h"
#include "base/UiBridge.h"
#include "gps/SerialPort.h"

namespace varno::gps {

// Opens the send port like the GPS port (the Port setting, the stored line
// settings over the port's current ones, the same messages), with the send
// port's differences: 10 ms time-outs and a 1000 ms wait before applying the
// line settings, before the time-outs and before the queues. The port is
// always in binary (raw) mode on this system. False after the message.
bool openSendPort(SerialPort& port, settings::Settings& settings, Prompt& prompt,
                  const std::function<void(std::chrono::milliseconds)>& sleep);

// The "Send log" dialog's worker. start(), pause(), singleStep() and stop()
// are called on the UI thread; the lines go out from a thread of this object:
//   - "Lines Sent" is set to 0; while the loop count is at least 1 the file is
//     opened and read in lines of at most 298 characters; each loses up to two
//     trailing CR / LF and gets CR LF; one of more than 2 characters (so not
//     an empty line) is written to the port; every line is counted
//     and shown; with one-second intervals the next line waits for the next
//     500 ms tick;
//   - after each pass the loop count goes down by one and is shown; at 0
//     "Loop Count" shows 1 and the worker ends;
//   - while paused the worker waits between lines; a single step lets one
//     line through;
//   - a failed write ends the worker silently.
// The display callbacks and the message run on the UI thread through the
// UiBridge; stop() never waits for the UI thread.
class SendLog {
public:
    struct Callbacks {
        UiBridge::Post postToUi;
        // UI thread: the "Lines Sent" and "Loop Count" fields.
        std::function<void(int)> showLinesSent;
        std::function<void(int)> showLoopCount;
        // The waits of the port open (3 s in all); tests pass a no-op.
        std::function<void(std::chrono::milliseconds)> sleep;
        // The wait for the next tick of the 500 ms timer; empty: the steady
        // clock. Tests pass one that returns at once.
        std::function<void(std::chrono::milliseconds)> waitTick;
    };

    static constexpr std::string_view kInitialFileName = "C:\\VARNO\\Log\\log.txt";
    static constexpr int kInitialLoopCount = 10;
    static constexpr std::chrono::milliseconds kTickPeriod{500};
    static constexpr std::size_t kLineLimit = 299;

    SendLog(SerialPort& port, Prompt& prompt, settings::Settings& settings, Callbacks callbacks);
    ~SendLog();
    SendLog(const SendLog&) = delete;
    SendLog& operator=(const SendLog&) = delete;

    // Start: opens the send port and starts the worker. False when a send is
    // already running or the port could not be opened (reported).
    bool start(std::string fileName, int loopCount, bool oneSecondIntervals);
    // Pause toggles pausing and drops a pending single step.
    void pause();
    void singleStep() { step_ = true; }
    // Stop, OK and Cancel: ends the worker (a paused one too), then closes the
    // port, so no write ever meets a closed port.
    void stop();
    // Waits until the worker ends by itself (tests, the command line).
    void join();

    bool running() const { return running_; }
    bool paused() const { return paused_; }
    int linesSent() const { return linesSent_; }
    int loopCount() const { return loopCount_; }

private:
    void run();
    bool waitWhilePaused();

    SerialPort& port_;
    Prompt& prompt_;
    settings::Settings& settings_;
    Callbacks callbacks_;
    UiBridge bridge_;
    TickPacer pacer_;
    std::string fileName_;
    bool interval_ = false;
    std::atomic<int> loopCount_{0};
    std::atomic<int> linesSent_{0};
    std::atomic<bool> paused_{false};
    std::atomic<bool> step_{false};
    std::atomic<bool> running_{false};
    std::thread worker_;
};

} // namespace varno::gps
