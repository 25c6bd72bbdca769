// Start and Stop of the GPS: opening the port from the settings, running the reader.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/Prompt.h"
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
    };

    GpsControl(SerialPort& port, SentenceMailbox& mailbox, NmeaLog& log, Prompt& prompt,
               settings::Settings& settings, Hooks hooks = {});
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
    void wait(std::chrono::milliseconds ms);
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
};

} // namespace varno::gps
