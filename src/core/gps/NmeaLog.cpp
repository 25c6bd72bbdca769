// The NMEA log: every line the receiver sends, written as it arrives.
#include "gps/NmeaLog.h"

#include <filesystem>
#include <system_error>

#include <fmt/printf.h>

#include "base/DataPath.h"

namespace varno::gps {
namespace {

// The log name is part of the file format users see; it stays English
// whatever the locale says.
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};

const char* dayName(int weekday)
{
    return (weekday >= 0 && weekday < 7) ? kDayNames[weekday] : "";
}

const char* monthName(int month)
{
    return (month >= 1 && month <= 12) ? kMonthNames[month - 1] : "";
}

} // namespace

NmeaLog::~NmeaLog() = default;

bool NmeaLog::open(const std::string& path)
{
    // A FIFO is refused: opening one to write blocks until something reads
    // it. Devices stay allowed (a log to /dev/null is a way to discard it).
    std::error_code ec;
    const bool writable = !std::filesystem::is_fifo(path, ec);
    // Binary mode: the CR LF line ends are written by appendLine itself.
    std::unique_ptr<std::FILE, FileCloser> f(writable ? std::fopen(path.c_str(), "wb") : nullptr);
    std::lock_guard lock(mutex_);
    file_.reset();
    path_.clear();
    if (!f)
        return false;
    file_ = std::move(f);
    path_ = path;
    return true;
}

void NmeaLog::close()
{
    std::lock_guard lock(mutex_);
    file_.reset(); // fclose flushes
    path_.clear();
}

bool NmeaLog::isOpen() const
{
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

std::string NmeaLog::path() const
{
    std::lock_guard lock(mutex_);
    return path_;
}

void NmeaLog::appendLine(std::string_view line)
{
    std::lock_guard lock(mutex_);
    if (!file_)
        return;
    std::FILE* f = file_.get();
    const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() &&
                    std::fwrite("\r\n", 1, 2, f) == 2 && std::fflush(f) == 0;
    if (!ok) {
        // A full disk or a vanished USB stick: stop logging, keep the GPS.
        file_.reset();
        path_.clear();
    }
}

bool NmeaLog::toggleAutomatic(const Clock& clock, std::string_view dataRoot, Prompt& prompt)
{
    if (isOpen()) {
        close();
        return false;
    }
    const std::string path = mapDataPath(automaticLogName(clock.now()), dataRoot);
    if (!open(path)) {
        prompt.message("Error can't open the NMEA data file\n" + path);
        return false;
    }
    return true;
}

std::string automaticLogName(const LocalTime& t)
{
    return fmt::sprintf("C:\\VARNO\\Log\\%s %02d%02d.txt", proposedLogName(t), t.hour, t.minute);
}

std::string proposedLogName(const LocalTime& t)
{
    return fmt::sprintf("MNEA Log %s %02d of %s %d", dayName(t.weekday), t.day, monthName(t.month), t.year);
}

} // namespace varno::gps
