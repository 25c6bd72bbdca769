// The NMEA log: every line the receiver sends, written as it arrives.
#include "gps/NmeaLog.h"

#include <cerrno>
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

int writeAndFlush(std::FILE* f, std::string_view bytes)
{
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0)
        return 0;
    return errno != 0 ? errno : EIO;
}

} // namespace

NmeaLog::NmeaLog() : writer_(writeAndFlush) {}

NmeaLog::NmeaLog(Writer writer) : writer_(std::move(writer)) {}

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
    size_ = 0;
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

std::optional<std::string> NmeaLog::appendLine(std::string_view line)
{
    std::lock_guard lock(mutex_);
    if (!file_)
        return std::nullopt;
    // One write for the line and its end, so a failure tears at most this line.
    pending_.assign(line);
    pending_ += "\r\n";
    const int error = writer_(file_.get(), pending_);
    if (error == 0) {
        size_ += pending_.size();
        return std::nullopt;
    }
    // Stop logging, keep the GPS. Whatever part of the line reached the file
    // goes again, so the log ends at its last complete line. A device such as
    // /dev/full cannot be cut; that is of no harm.
    file_.reset();
    std::error_code ignored;
    std::filesystem::resize_file(path_, size_, ignored);
    std::string message = "The NMEA log " + path_ +
                          " could not be written: " + std::generic_category().message(error) +
                          ". Logging has stopped.";
    path_.clear();
    return message;
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
