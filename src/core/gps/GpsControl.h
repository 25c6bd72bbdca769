// Start and Stop of the GPS: opening the port from the settings, running the reader.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/Prompt.h"
#include "base/UiBridge.h"
#include "gps/SerialPort.h"
#include "gps/SerialReader.h"
#include "settings/Settings.h"

namespace varno::gps {

// The stored Speed, StopBits, Parity and DataBits texts applied over the
// port's current settings. A value that could not be read (nullopt) leaves
// that setting as the port had it; so does a Parity text that is none of
// None/Odd/Even/Mark/Space (any case). Unknown StopBits texts mean one stop
// bit, unknown DataBits texts (including "8" and "16") eight data bits.
LineSettings mapStoredLineSettings(LineSettings current, const std::optional<std::string>& speed,
                                   const std::optional<std::string>& stopBits,
                                   const std::optional<std::string>& parity,
                                   const std::optional<std::string>& dataBits);

// The view's GPS commands over one SerialPort and one SerialReader:
// OpenCommPort / CloseCommPort with the port-open flag, StartGps / StopGps.
// Used on the UI thread only; the reader's callbacks arrive on the reader
// thread (see SerialReader).
class GpsControl {
public:
    struct Hooks {
        // Sleeps for the waits that belong to every open (4 s in all). Tests
        // record them instead of sleeping.
        std::function<void(std::chrono::milliseconds)> sleep;
        // Called with true before the waits of an open start, with false when
        // the open has ended either way; the GUI shows a busy cursor and
        // "Opening <port>..." in between.
        std::function<void(bool busy, const std::string& port)> opening;
        // Resets the average-speed state when the GPS is started.
        std::function<void()> resetAverageSpeed;
        // Queues a function to the UI thread (see UiBridge). Given, Start runs
        // the open and its waits on a worker thread and returns at once; the
        // window stays live, `opening` spans the whole open, and the messages,
        // the port-open flag and the reader start follow on the UI thread
        // when the open has ended. Empty: Start opens on the calling thread.
        UiBridge::Post postToUi = {};
    };

    GpsControl(SerialPort& port, SentenceMailbox& mailbox, NmeaLog& log, Prompt& prompt,
               settings::Settings& settings, Hooks hooks);
    GpsControl(SerialPort& port, SentenceMailbox& mailbox, NmeaLog& log, Prompt& prompt,
               settings::Settings& settings);
    ~GpsControl();
    GpsControl(const GpsControl&) = delete;
    GpsControl& operator=(const GpsControl&) = delete;

    void setReaderCallbacks(SerialReader::Callbacks callbacks) { reader_.setCallbacks(std::move(callbacks)); }

    bool OpenCommPort();
    bool CloseCommPort();
    void StartGps();
    void StopGps();

    // Starts the reader on the open port, resuming after unplugs when
    // reconnecting is chosen; false when the port is not open.
    bool startReader();

    bool portOpen() const { return portOpen_; }
    // A Start's open runs on its worker (only with postToUi).
    bool opening() const { return worker_.joinable(); }
    // The stored port name of the last open attempt.
    const std::string& portName() const { return portName_; }
    SerialReader& reader() { return reader_; }

    // A port named on the command line: opened instead of the Port setting,
    // and without a settings key the line is 4800 8N1. A network source name
    // ("gpsd://host:port", "tcp://host:port") works here too.
    std::optional<std::string> portOverride;
    // Wait for a device that went away and resume by itself (the Reconnect
    // setting when unset).
    std::optional<bool> reconnectOverride;

    static constexpr std::chrono::milliseconds kReadTimeout{2000};

private:
    // What an open needs from the settings, read on the UI thread before it starts.
    struct OpenPlan {
        std::string name;
        bool alreadyOpen = false; // the port-open flag was set: no new open
        bool keyExists = true;
        std::optional<std::string> speed, stopBits, parity, dataBits;
    };
    // How the open went, up to where it stopped.
    struct OpenOutcome {
        enum class Stop { Done, OpenFailed, NoState, StateFailed, TimeoutsFailed, Cancelled };
        Stop stop = Stop::Done;
        bool opened = false; // the device is open (the port-open flag follows)
        std::string reason;  // why open() failed, in the system's words
        LineSettings applied;
    };
    // Runs on any one thread; touches the port and nothing else of this object.
    // busy: around the waits (the calling thread's open shows it there).
    OpenOutcome runOpen(const OpenPlan& plan, bool busy);
    // UI thread: the flag, the settings kept for reopening, the messages. True on success.
    bool finishOpen(const OpenPlan& plan, const OpenOutcome& outcome);
    // UI thread: the worker's open has ended (or was cancelled, with cancelled).
    void openEnded(bool cancelled);
    // Cancels a Start's open that is under way and waits for its worker.
    void cancelOpen();

    // False when a Start's open was cancelled meanwhile.
    bool wait(std::chrono::milliseconds ms);
    // The settings an open reads, now; nullopt when the port name cannot be read.
    std::optional<OpenPlan> makePlan();
    // The name to open: the override, else the stored source choice.
    std::optional<std::string> chosenName();
    // Opens the device again from the reader thread after it went away.
    bool reopen();

    SerialPort& port_;
    Prompt& prompt_;
    settings::Settings& settings_;
    Hooks hooks_;
    SerialReader reader_;
    bool portOpen_ = false;
    std::string portName_;
    LineSettings lineSettings_; // what the last open applied, for reopening
    // A Start's open on its worker: its own bridge each time, so that a
    // cancelled open's late call can never reach the next one.
    UiBridge openBridge_;
    std::thread worker_;
    OpenPlan workerPlan_;
    OpenOutcome workerOutcome_; // written by the worker, read after it is joined
};

} // namespace varno::gps
