// The NMEA log: every line the receiver sends, written as it arrives.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "base/Prompt.h"

namespace varno::gps {

// The open log file, shared between the UI thread (which opens, closes and
// replaces it) and the reader thread (which appends lines). One mutex guards
// the handle, so a line is never written to a file being closed or replaced.
//
// Each line is written exactly as received, followed by CR LF, in one write
// and flushed at once: a program that is killed loses at most the line it was
// writing. When a write fails (a full disk, a vanished USB stick) the file is
// cut back to its last complete line, the log is closed and appendLine
// returns the message for the user, once; the receiver keeps working.
class NmeaLog {
public:
    // Writes bytes to the file and flushes them; returns 0, or the errno of
    // the failure (part of the bytes may have reached the file).
    using Writer = std::function<int(std::FILE*, std::string_view)>;

    NmeaLog();
    // A log writing through writer instead of fwrite and fflush.
    explicit NmeaLog(Writer writer);
    ~NmeaLog();
    NmeaLog(const NmeaLog&) = delete;
    NmeaLog& operator=(const NmeaLog&) = delete;

    // Creates (or empties) the file and makes it the log, closing any log
    // that was open. False when the file cannot be created, or when path
    // names a FIFO.
    bool open(const std::string& path);
    void close();
    bool isOpen() const;
    // The file being written, empty when no log is open.
    std::string path() const;

    // Appends one line; does nothing while no log is open. When the write
    // fails, logging stops and the result is "The NMEA log <path> could not
    // be written: <reason>. Logging has stopped."
    std::optional<std::string> appendLine(std::string_view line);

    // The automatic toggle of the start-up actions: closes the open log, or
    // opens "C:\VARNO\Log\MNEA Log <date and time>.txt" below dataRoot. On
    // failure shows "Error can't open the NMEA data file\n" and the path.
    // Returns true when a log is open afterwards.
    bool toggleAutomatic(const Clock& clock, std::string_view dataRoot, Prompt& prompt);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    mutable std::mutex mutex_;
    Writer writer_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
    std::uintmax_t size_ = 0; // bytes of complete lines in the file
    std::string pending_;     // the line being written, with its CR LF
};

// "MNEA Log Monday 05 of June 2006 1423.txt" under "C:\VARNO\Log\": the stored
// name of an automatic log started at local time t (English names always).
std::string automaticLogName(const LocalTime& t);

// "MNEA Log Monday 05 of June 2006": the name the Log NMEA Data command proposes.
std::string proposedLogName(const LocalTime& t);

} // namespace varno::gps
