// The NMEA log: every line the receiver sends, written as it arrives.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "base/Prompt.h"

namespace varno::gps {

// The open log file, shared between the UI thread (which opens, closes and
// replaces it) and the reader thread (which appends lines). One mutex guards
// the handle, so a line is never written to a file being closed or replaced.
//
// Each line is written exactly as received, followed by CR LF, and flushed at
// once: a program that is killed loses at most the line it was writing. When
// a write fails the log is closed and logging stops without a message; the
// receiver keeps working.
class NmeaLog {
public:
    NmeaLog() = default;
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

    // Appends one line; does nothing while no log is open.
    void appendLine(std::string_view line);

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
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
};

// "MNEA Log Monday 05 of June 2006 1423.txt" under "C:\VARNO\Log\": the stored
// name of an automatic log started at local time t (English names always).
std::string automaticLogName(const LocalTime& t);

// "MNEA Log Monday 05 of June 2006": the name the Log NMEA Data command proposes.
std::string proposedLogName(const LocalTime& t);

} // namespace varno::gps
