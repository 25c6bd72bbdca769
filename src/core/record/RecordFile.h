// The record file: a snapshot of the fix time, the position and the track log, saved and opened.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/FileSync.h"
#include "base/Prompt.h"
#include "base/TimeZone.h"
#include "gps/Fix.h"

namespace varno::gps {
class CNmeaDecoder;
}
namespace varno::views {
class TrackLogging;
}

namespace varno::record {

// The file dialogs of Open, Save and Save As.
inline constexpr std::string_view kRecordFilter = "VARNO record file (*.txt)|*.txt||";
inline constexpr std::string_view kRecordExtension = "txt";
// The record file name the view keeps holds at most this many characters.
inline constexpr std::size_t kRecordNameLimit = 254;
// Lines are read with this fgets limit (at most 253 characters each).
inline constexpr std::size_t kRecordLineLimit = 254;

// The file as written: header, time, position, the track index and length, a
// latitude and a longitude line for each allocated slot 0 .. TrackLength - 1,
// and "End Of file" without a line end. Lines end with CR LF.
std::string formatRecord(const gps::Fix& fix, const TimeZone& timeZone, const views::TrackLogging& track);

// Writes the record to path. The text goes to a temporary file in the same
// folder, which is flushed and then renamed over path, so a save that fails
// halfway leaves the previous record as it was. Shows "Error can't create the
// record file\n<path>" or "Error writing to file" on failure; false then.
// sync may be null (stdio flush only).
bool saveRecordFile(const std::string& path, const gps::Fix& fix, const TimeZone& timeZone,
                    const views::TrackLogging& track, Prompt& prompt, FileSync* sync = nullptr);

struct RecordOpenResult {
    bool opened = false;   // the file could be opened (the GPS was then stopped)
    bool complete = false; // every line was read
    // After a complete read the caller sets CameraReloadCount to 71 (the
    // cameras around the restored position load on the next fix), runs
    // UpdateCameraWarnings once and repaints.
    bool refreshCameras() const { return complete; }
};

// Open: reads path into the fix and the track log. Stops the GPS (stopGps)
// once the file is open. The fix time and position are set as their lines
// come; the ring is shown, rebuilt for the current TrackLength with its index
// at the start value, and each slot that exists gets the pair read for it.
// A record length outside 500..5000 is read as 500. A line that cannot be
// read ends the reading with "Error reading from record file" and leaves what
// was restored so far. A latitude or longitude that is not a finite number in
// range reads as 0 (no position).
RecordOpenResult openRecordFile(const std::string& path, gps::CNmeaDecoder& fix, views::TrackLogging& track,
                                Prompt& prompt, const std::function<void()>& stopGps);

// The reading of openRecordFile over the file's bytes (after the open and the
// GPS stop); for the fuzz target and tests. True when every line was read.
bool readRecordText(std::string_view bytes, gps::CNmeaDecoder& fix, views::TrackLogging& track,
                    Prompt& prompt);

} // namespace varno::record
