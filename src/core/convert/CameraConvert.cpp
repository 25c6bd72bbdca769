// Camera lists from PocketGPS and Garmin, CSV or OV2, into camera-file lines.
#include "convert/CameraConvert.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/AsciiCase.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "geo/LatLon.h"

namespace varno::convert {
namespace {

constexpr std::size_t kLineLimit = 299;
constexpr std::size_t kNameLimit = 299;
constexpr std::array<std::string_view, 7> kOv2TypeWords = {"GATSO",  "TRUVELO",  "MONITRON", "SPECS",
                                                           "MOBILE", "REDLIGHT", "REDSPEED"};
constexpr std::array<std::string_view, 6> kCsvTypeWords = {"GATSO", "TRUVELO", "MONITRON",
                                                           "SPECS", "MOBILE",  "REDLIGHT"};

std::string_view trimField(std::string_view f)
{
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t'))
        f.remove_prefix(1);
    while (!f.empty() && f.front() == '"')
        f.remove_prefix(1);
    return f;
}

std::string_view dropTrailingQuote(std::string_view f)
{
    if (!f.empty() && f.back() == '"')
        f.remove_suffix(1);
    return f;
}

bool startsLikeNumber(std::string_view f)
{
    if (!f.empty() && (f.front() == '-' || f.front() == '+'))
        f.remove_prefix(1);
    if (!f.empty() && f.front() == '.')
        f.remove_prefix(1);
    return !f.empty() && f.front() >= '0' && f.front() <= '9';
}

// The text after the last occurrence of c, or all of it.
std::string_view afterLast(std::string_view text, char c)
{
    const auto at = text.rfind(c);
    return at == std::string_view::npos ? text : text.substr(at + 1);
}

// Removes a line end the way the camera readers always did: a line feed and
// then a carriage return, twice.
void stripEnd(std::string& line)
{
    for (int i = 0; i < 2; ++i) {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    }
}

std::string coordinate(std::int32_t raw)
{
    // Kept in single precision, as the points have always been.
    const float degrees = static_cast<float>(raw / 100000.0);
    return fmt::sprintf("%f", static_cast<double>(degrees));
}

std::int32_t readInt32(const unsigned char* p)
{
    const std::uint32_t v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                            std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(v);
}

// A zero-terminated string from pos, at most kNameLimit bytes, never past end;
// pos moves past its terminator.
std::string_view readString(std::string_view bytes, std::size_t& pos, std::size_t end)
{
    const std::size_t start = pos;
    const std::size_t stop = std::min(end, start + kNameLimit);
    while (pos < stop && bytes[pos] != '\0')
        ++pos;
    const std::string_view s = bytes.substr(start, pos - start);
    if (pos < end && bytes[pos] == '\0')
        ++pos;
    return s;
}

// "GATSO 2 way@30" -> "GATSO@30": the text between a type word and a later
// "@" goes.
std::string shortOv2Name(std::string_view name)
{
    for (const std::string_view word : kOv2TypeWords) {
        const auto at = name.find(word);
        if (at == std::string_view::npos)
            continue;
        const auto limit = name.find('@', at + word.size());
        if (limit == std::string_view::npos)
            continue;
        return std::string(name.substr(0, at + word.size())) + std::string(name.substr(limit));
    }
    return std::string(name);
}

} // namespace

bool isOv2Name(std::string_view path)
{
    return path.size() >= 4 && equalsNoCase(path.substr(path.size() - 4), ".ov2");
}

std::string cameraLineFromCsv(std::string_view line, const CameraOptions& options)
{
    std::array<std::string_view, 4> fields{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < fields.size() && start <= line.size(); ++i) {
        auto comma = line.find(',', start);
        if (comma == std::string_view::npos)
            comma = line.size();
        fields[i] = trimField(line.substr(start, comma - start));
        start = comma + 1;
    }
    // A quoted coordinate loses its closing quote too: the camera file holds numbers there.
    const std::string_view lon = dropTrailingQuote(cutText(fields[0], 14));
    const std::string_view lat = dropTrailingQuote(cutText(fields[1], 14));
    if (!startsLikeNumber(lon) || !startsLikeNumber(lat))
        return {};

    std::string_view fullName = fields[2];
    std::string_view speed;
    if (const auto at = fullName.rfind('@'); at != std::string_view::npos)
        speed = dropTrailingQuote(cutText(fullName.substr(at + 1), 3));
    std::string name;
    if (options.list == CameraList::PocketGpsNew) {
        // Direction prefixes: "...-", "t" (two way) and "p" (one way) go.
        std::string_view reduced = afterLast(afterLast(afterLast(fullName, '-'), 't'), 'p');
        name = std::string(dropTrailingQuote(cutText(reduced, 14)));
        if (options.shortNames) {
            std::string_view word;
            for (const std::string_view w : kCsvTypeWords)
                if (fullName.find(w) != std::string_view::npos)
                    word = w;
            if (!word.empty())
                name = std::string(word) + "@" + std::string(speed);
        }
    } else {
        name = std::string(dropTrailingQuote(cutText(fullName, 14)));
    }
    const bool mobile = startsWithNoCase(name, "TEMP") || startsWithNoCase(name, "MOBILE");
    const char* hazard = startsWithNoCase(name, "SPEC") ? "Calcs speed cam to cam" : "";
    const std::string town = fieldText(dropTrailingQuote(cutText(fields[3], 25)));
    name = fieldText(name);
    return fmt::format("{},{},{},{},{},{},{},{}\n", lat, lon, name, town, hazard, name, mobile ? "No" : "Yes",
                       fieldText(speed));
}

namespace {

// The camera line's latitude and longitude (its first two fields) are a place on Earth.
bool placeOnEarth(std::string_view camera)
{
    const auto comma = camera.find(',');
    return geo::onEarth(leadingDouble(camera.substr(0, comma)), leadingDouble(camera.substr(comma + 1)));
}

// The first few of these line numbers or offsets, for a message.
std::string namedFew(const std::vector<std::uint64_t>& where)
{
    constexpr std::size_t kNamed = 10;
    std::string text;
    for (std::size_t i = 0; i < std::min(where.size(), kNamed); ++i)
        text += (i ? ", " : "") + std::to_string(where[i]);
    if (where.size() > kNamed)
        text += ", ...";
    return text;
}

} // namespace

Report convertCameraCsv(LineInput& in, Sink& out, const CameraOptions& options, Progress& progress)
{
    Report report;
    std::string line;
    std::uint64_t skipped = 0;
    std::vector<std::uint64_t> impossible; // lines whose position no place on Earth has
    if (options.list != CameraList::PocketGps && !in.nextLine(line, kLineLimit))
        line.clear();
    while (in.nextLine(line, kLineLimit)) {
        ++report.linesIn;
        if (!progress.update(in.done(), in.total())) {
            report.status = Report::Status::Cancelled;
            report.message = kCancelled;
            return report;
        }
        stripEnd(line);
        if (line.empty())
            break;
        if (options.list == CameraList::PocketGps && line.front() == ';')
            continue;
        const std::string camera = cameraLineFromCsv(line, options);
        if (camera.empty()) {
            ++skipped;
            continue;
        }
        if (!placeOnEarth(camera)) {
            // The line of the file: the header line of the other lists is not counted in.
            impossible.push_back(report.linesIn + (options.list != CameraList::PocketGps ? 1 : 0));
            continue;
        }
        if (!out.write(camera))
            return Report::failed(kWriteFailed);
        ++report.linesOut;
    }
    report.message = fmt::format("{} lines processed.\n\nConversion complete.", report.linesIn);
    if (skipped > 0)
        report.notes = fmt::format("{} lines without a latitude and longitude were left out.", skipped);
    if (const std::uint64_t overlong = in.overlongLines(); overlong > 0)
        report.notes += (report.notes.empty() ? "" : "\n") + overlongLinesText(overlong);
    if (!impossible.empty()) {
        const std::string lines = namedFew(impossible);
        report.notes += fmt::format("{}{} lines with a latitude beyond 90 or a longitude beyond 180 degrees "
                                    "were left out ({} {}).",
                                    report.notes.empty() ? "" : "\n", impossible.size(),
                                    impossible.size() == 1 ? "line" : "lines", lines);
    }
    return report;
}

Report convertOv2(std::string_view bytes, Sink& out, const CameraOptions& options, Progress& progress)
{
    Report report;
    std::vector<std::uint64_t> impossible; // byte offsets of records placed off the Earth
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t pos = 0;
    while (pos + 5 <= bytes.size()) {
        if (!progress.update(pos, bytes.size())) {
            report.status = Report::Status::Cancelled;
            report.message = kCancelled;
            return report;
        }
        const unsigned type = data[pos];
        const std::uint32_t length = static_cast<std::uint32_t>(readInt32(data + pos + 1));
        const std::size_t start = pos;
        if (type == 1) {
            pos = start + 21;
            continue;
        }
        if (type > 3) {
            // The end of the list as far as the format goes, but a file that is
            // not OV2 at all stops here too: say so rather than report nothing.
            report.notes = fmt::format(
                "The record at byte {} has the unknown type {}; reading stopped there.", start, type);
            break;
        }
        // A record must move the reading on: a length inside its own header
        // would read the same record for ever.
        if (length < 5) {
            report.notes = fmt::format(
                "A record at byte {} has the impossible length {}; reading stopped there.", start, length);
            break;
        }
        const std::size_t next = start + length;
        if (type == 0) {
            pos = next;
            continue;
        }
        ++report.linesIn;
        // Strings end at the record's end (or the file's), whatever their terminators.
        const std::size_t end = std::min(next, bytes.size());
        if (start + 13 > end) {
            report.notes = fmt::format("The record at byte {} is cut short; reading stopped there.", start);
            break;
        }
        const std::int32_t rawLon = readInt32(data + start + 5), rawLat = readInt32(data + start + 9);
        if (!geo::onEarth(rawLat / 100000.0, rawLon / 100000.0)) {
            impossible.push_back(start);
            pos = next;
            continue;
        }
        const std::string lon = coordinate(rawLon);
        const std::string lat = coordinate(rawLat);
        std::size_t at = start + 13;
        // Names of OV2 files are mostly Latin-1 and may hold commas
        // ("Aebi Frères, Bogis-Bossey"): written as camera-file fields.
        const std::string name = fieldText(readString(bytes, at, end));
        std::string line;
        if (type == 3) {
            const std::string town = fieldText(readString(bytes, at, end));
            const std::string camType = fieldText(readString(bytes, at, end));
            line = fmt::format("{},{},{},{},,{},,\n", lat, lon, name, town, camType);
        } else if (options.list == CameraList::PocketGpsNew) {
            const std::string shortName = options.shortNames ? shortOv2Name(name) : name;
            const auto limitAt = shortName.find('@');
            if (limitAt != std::string::npos)
                line = fmt::format("{},{},{},,,{},,{}\n", lat, lon, shortName, shortName,
                                   std::string_view(shortName).substr(limitAt + 1));
            else
                line = fmt::format("{},{},{},,,{},,\n", lat, lon, shortName, shortName);
        } else {
            line = fmt::format("{},{},{},,,{},,\n", lat, lon, name, name);
        }
        if (!out.write(line))
            return Report::failed(kWriteFailed);
        ++report.linesOut;
        pos = next;
    }
    report.message = fmt::format("{} lines processed.\n\nConversion complete.", report.linesOut);
    if (!impossible.empty())
        report.notes +=
            fmt::format("{}{} records with a latitude beyond 90 or a longitude beyond 180 degrees "
                        "were left out (at {} {}).",
                        report.notes.empty() ? "" : "\n", impossible.size(),
                        impossible.size() == 1 ? "byte" : "bytes", namedFew(impossible));
    return report;
}

Report convertCameraFile(const FileJob& cameraJob, const CameraOptions& options, Progress& progress)
{
    // A camera file with no camera in it would only hide the one it replaced.
    FileJob job = cameraJob;
    job.needsRecords = true;
    if (isOv2Name(job.source))
        return runBytesJob(job, [&](std::string_view bytes, Sink& out) {
            return convertOv2(bytes, out, options, progress);
        });
    return runFileJob(job,
                      [&](LineInput& in, Sink& out) { return convertCameraCsv(in, out, options, progress); });
}

Report convertCameraFiles(const std::vector<std::string>& sources, const std::string& destination,
                          bool append, const CameraOptions& options, Progress& progress)
{
    if (sources.empty())
        return Report::failed("Error:\nNo source file(s) specified.");
    if (destination.empty())
        return Report::failed("Error:\nNo destination file specified.");
    // Everything is converted into memory first, so a source that fails
    // leaves the destination as it was.
    StringSink text;
    Report total;
    for (const std::string& source : sources) {
        std::string bytes, message;
        if (!readSource(source, bytes, message))
            return Report::failed(message);
        Report one;
        if (isOv2Name(source)) {
            one = convertOv2(bytes, text, options, progress);
        } else {
            LineInput in(bytes);
            one = convertCameraCsv(in, text, options, progress);
        }
        if (!one.ok())
            return one;
        total.linesIn += one.linesIn;
        total.linesOut += one.linesOut;
        if (!one.notes.empty())
            total.notes += source + ": " + one.notes + "\n";
    }
    total.message = fmt::format("{} lines processed.\n\nConversion complete.", total.linesIn);
    return runSinkJob({sources.front(), destination, append, true},
                      [&](Sink& out) { return out.write(text.text) ? total : Report::failed(kWriteFailed); });
}

} // namespace varno::convert
