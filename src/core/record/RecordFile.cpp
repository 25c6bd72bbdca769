// The record file: a snapshot of the fix time, the position and the track log, saved and opened.
#include "record/RecordFile.h"

#include <cmath>

#include <fmt/printf.h>

#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Presentation.h"
#include "views/TrackLogging.h"

namespace varno::record {
namespace {

constexpr std::string_view kEnd = "End Of file";
constexpr int kMinRecordLength = 500;
constexpr int kMaxRecordLength = 5000;

std::uint8_t fieldValue(std::string_view text, int max)
{
    const int v = leadingInt(text);
    return static_cast<std::uint8_t>(v >= 0 && v <= max ? v : 0);
}

double coordinate(std::string_view text, double limit)
{
    const double v = leadingDouble(text);
    return std::isfinite(v) && std::fabs(v) <= limit ? v : 0.0;
}

bool readRecord(LineReader& reader, gps::CNmeaDecoder& fix, views::TrackLogging& track, Prompt& prompt)
{
    std::string line;
    auto read = [&]() {
        if (!reader.next(line, kRecordLineLimit))
            return false;
        stripLineEnd(line, 2); // the line end of a text file, CR LF at most
        return true;
    };
    auto fail = [&]() {
        prompt.message("Error reading from record file");
        return false;
    };

    for (int i = 0; i < 3; ++i) // header, "Time", the local time: not checked
        if (!read())
            return fail();
    if (!read())
        return fail();
    fix.GgaHour = fieldValue(line, 23);
    if (!read())
        return fail();
    fix.GgaMinute = fieldValue(line, 59);
    if (!read())
        return fail();
    fix.GgaSecond = fieldValue(line, 59);
    if (!read() || !read()) // "Latitude"
        return fail();
    fix.Latitude = coordinate(line, 90.0);
    if (!read() || !read()) // "Longitude"
        return fail();
    fix.Longitude = coordinate(line, 180.0);
    if (!read() || !read()) // "Track", then the saved write index, which is not used
        return fail();
    if (!read())
        return fail();
    int n = leadingInt(line);
    if (n < kMinRecordLength || n > kMaxRecordLength)
        n = kMinRecordLength;

    // The ring is rebuilt for the length in use now; its index starts afresh.
    track.reallocateForRecord();
    views::TrackRing& ring = track.ring();
    ring.setIndex(ring.startIndex());
    for (int i = 0; i < n; ++i) {
        views::TrackSlot* slot = ring.slot(i);
        if (!slot)
            continue; // slots that do not exist now consume no lines
        if (!read())
            return fail();
        slot->lat = coordinate(line, 90.0);
        if (!read())
            return fail();
        slot->lon = coordinate(line, 180.0);
    }
    return true;
}

} // namespace

std::string formatRecord(const gps::Fix& fix, const TimeZone& timeZone, const views::TrackLogging& track)
{
    std::string out;
    auto line = [&out](std::string_view text) {
        out.append(text);
        out.append("\r\n");
    };
    line("VARNO record file");
    line("Time");
    const TimeOfDay local = gps::localTimeOf(fix, timeZone);
    line(fmt::sprintf("%d:%2.2d:%2.2d", local.hour, local.minute, local.second));
    line(fmt::sprintf("%d", int(fix.hourUtc)));
    line(fmt::sprintf("%d", int(fix.minuteUtc)));
    line(fmt::sprintf("%d", int(fix.secondUtc)));
    line("Latitude");
    line(fmt::sprintf("%f", fix.position.latDeg()));
    line("Longitude");
    line(fmt::sprintf("%f", fix.position.lonDeg()));
    line("Track");
    const views::TrackRing& ring = track.ring();
    line(fmt::sprintf("%d", ring.index()));
    const int n = track.trackLength();
    line(fmt::sprintf("%d", n));
    for (int i = 0; i < n; ++i) {
        const views::TrackSlot* slot = ring.slot(i);
        if (!slot)
            continue;
        line(fmt::sprintf("%f", slot->lat));
        line(fmt::sprintf("%f", slot->lon));
    }
    out.append(kEnd);
    return out;
}

bool saveRecordFile(const std::string& path, const gps::Fix& fix, const TimeZone& timeZone,
                    const views::TrackLogging& track, Prompt& prompt, FileSync* sync)
{
    AtomicWriteOptions options;
    options.sync = sync;
    const WriteOutcome outcome = writeFileAtomically(path, formatRecord(fix, timeZone, track), options);
    if (outcome)
        return true;
    prompt.message(outcome.failed == WriteOutcome::Stage::Write
                       ? std::string("Error writing to file")
                       : "Error can't create the record file\n" + path);
    return false;
}

RecordOpenResult openRecordFile(const std::string& path, gps::CNmeaDecoder& fix, views::TrackLogging& track,
                                Prompt& prompt, const std::function<void()>& stopGps)
{
    RecordOpenResult result;
    std::string refusal;
    const FileHandle f = openForReading(path, &refusal);
    if (!f) {
        prompt.message("Error can't open the record file\n" + nameWithRefusal(path, refusal));
        return result;
    }
    result.opened = true;
    if (stopGps)
        stopGps();
    LineReader reader(f.get());
    result.complete = readRecord(reader, fix, track, prompt);
    return result;
}

bool readRecordText(std::string_view bytes, gps::CNmeaDecoder& fix, views::TrackLogging& track,
                    Prompt& prompt)
{
    LineReader reader(bytes);
    return readRecord(reader, fix, track, prompt);
}

} // namespace varno::record
