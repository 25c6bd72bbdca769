// The map file's line forms and the reading of the listed NMEA logs.
#include "trackedit/TrackStore.h"

#include <filesystem>
#include <system_error>

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "gps/NmeaField.h"

namespace varno::trackedit {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Drops up to two trailing control characters: the line end and a CR before it.
std::string_view stripControlEnd(std::string_view line)
{
    for (int i = 0; i < 2 && !line.empty() && static_cast<unsigned char>(line.back()) < 32; ++i)
        line.remove_suffix(1);
    return line;
}

MapFileError failure(std::string message)
{
    return MapFileError{std::move(message), false, {}};
}

std::optional<MapFileError> expected(std::string_view what, std::string_view ordinal, const std::string& line)
{
    return MapFileError{"Error expected '" + std::string(what) + "'\nas the " + std::string(ordinal) +
                            "track map file.\n\nClick OK to see the line that was read.",
                        true, std::string(stripLineEnd(std::string_view(line)))};
}

// One candidate point from a line; false for any other line, an empty field
// or a position no place on Earth has (minutes of 60, "1e308", "nan").
bool ggaPoint(std::string_view line, TrackPoint& out)
{
    if (!startsWithNoCase(line, "$GPGGA"))
        return false;
    const gps::NmeaAngle lat = gps::nmeaLatitude(gps::nmeaFieldView(line, 2), gps::nmeaFieldView(line, 3));
    const gps::NmeaAngle lon = gps::nmeaLongitude(gps::nmeaFieldView(line, 4), gps::nmeaFieldView(line, 5));
    if (!lat.value || !lon.value)
        return false;
    out.latDeg = *lat.value;
    out.lonDeg = *lon.value;
    return true;
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return !ec ? false : a == b;
}

} // namespace

std::size_t TrackStore::listedCount() const
{
    std::size_t n = 0;
    for (const TrackEntry& e : tracks)
        n += (e.path || e.description) ? 1 : 0;
    return n;
}

std::optional<MapFileError> parseMapFile(std::string_view bytes, TrackStore& store)
{
    LineReader reader(bytes);
    std::string line;
    if (!reader.next(line, kMapLineBuffer)) {
        MapFileError e = failure("Error can't read from file");
        e.noMap = true;
        return e;
    }
    // The header is compared with its line end, so a one-line file is refused.
    const std::string header(kMapHeader);
    if (line != header + "\n" && line != header + "\r\n" && line != header + "\r")
        return expected(kMapHeader, "first line of the\n", line);

    if (!reader.next(line, kMapLineBuffer))
        return failure("Error can't read map description from file");
    std::string_view text = stripControlEnd(line);
    if (!text.starts_with("MapDesc:"))
        return expected("MapDesc:", "start of the second line of the\n", line);
    if (text.size() > 8)
        store.description = std::string(text.substr(8));

    if (!reader.next(line, kMapLineBuffer))
        return failure("Error can't read zoom from file");
    // The zoom line is looked at as read: "zoom:" at the very end of the file
    // keeps the default, "zoom:" and a line end reads as 0.
    if (!std::string_view(line).starts_with("zoom:"))
        return expected("zoom:", "start of the third line of the\n", line);
    if (line.size() > 5)
        store.zoom = leadingInt(std::string_view(line).substr(5));

    // The rest of a line longer than a piece is dropped: read as a line of its
    // own, a bare line end left over would end the list, and a track written
    // back with a long description would lose every track after it.
    bool whole = true;
    while (reader.next(line, kMapLineBuffer)) {
        const bool continuation = !whole;
        whole = endsLine(line);
        if (continuation)
            continue;
        text = stripControlEnd(line);
        if (text.empty())
            break; // an empty line ends the list
        if (text.starts_with("TrkDesc:")) {
            TrackEntry& e = store.tracks.emplace_back();
            if (text.size() > 8)
                e.description = std::string(text.substr(8));
        } else if (text.starts_with("TrkPath:")) {
            if (store.tracks.empty() || store.tracks.back().path)
                store.tracks.emplace_back();
            if (text.size() > 8)
                store.tracks.back().path = std::string(text.substr(8));
        }
    }
    return std::nullopt;
}

std::optional<MapFileError> readMapFile(const std::string& path, TrackStore& store)
{
    std::string refusal;
    FileHandle f = openForReading(path, &refusal);
    if (!f) {
        MapFileError e = failure("Error can't open the tracks map file.\n" + nameWithRefusal(path, refusal));
        e.noMap = true;
        return e;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(f.get())) {
        MapFileError e = failure("Error can't read from file");
        e.noMap = true;
        return e;
    }
    return parseMapFile(bytes, store);
}

std::string formatMapFile(const TrackStore& store)
{
    std::string out(kMapHeader);
    out += kCrLf;
    out += "MapDesc:";
    if (store.description && !store.description->empty())
        out += cutText(*store.description, kMapDescriptionMax);
    else
        out += "No description";
    out += kCrLf;
    out += "zoom:";
    if (store.zoom != 0)
        out += std::to_string(store.zoom);
    out += kCrLf;
    for (const TrackEntry& e : store.tracks) {
        if (!e.path)
            continue;
        if (e.description && !e.description->empty()) {
            out += "TrkDesc:";
            out += *e.description;
            out += kCrLf;
        }
        out += "TrkPath:";
        out += *e.path;
        out += kCrLf;
    }
    return out;
}

std::optional<std::string> writeMapFile(const std::string& path, const TrackStore& store)
{
    const WriteOutcome w = writeFileAtomically(path, formatMapFile(store));
    if (w)
        return std::nullopt;
    if (w.failed == WriteOutcome::Stage::Write)
        return std::string("Error writing to file");
    return "Error can't save the tracks map file.\n" + path;
}

std::vector<TrackPoint> parseLogPoints(std::string_view bytes)
{
    std::vector<TrackPoint> points;
    LineReader reader(bytes);
    std::string line;
    TrackPoint p;
    while (reader.next(line, kMapLineBuffer))
        if (line.find('\0') == std::string::npos && ggaPoint(line, p))
            points.push_back(p);
    return points;
}

bool readLogPoints(const std::string& path, std::vector<TrackPoint>& points, std::string& why,
                   std::vector<std::uint32_t>* ggaLines)
{
    std::string refusal;
    FileHandle f = openForReading(path, &refusal);
    if (!f) {
        why = "Error can't open the NMEA log file.\n" + nameWithRefusal(path, refusal);
        return false;
    }
    LineReader reader(f.get());
    std::string line;
    TrackPoint p;
    bool binary = false;
    const std::size_t before = points.size();
    std::uint32_t gga = 0;
    while (reader.next(line, kMapLineBuffer)) {
        const bool nul = line.find('\0') != std::string::npos;
        binary = binary || nul;
        if (!startsWithNoCase(line, "$GPGGA"))
            continue;
        // A damaged $GPGGA line gives no point but is counted, as Save counts
        // it when it cuts the marked stretch out of the log.
        if (!nul && ggaPoint(line, p)) {
            points.push_back(p);
            if (ggaLines)
                ggaLines->push_back(gga);
        }
        ++gga;
    }
    if (std::ferror(f.get())) {
        why = "Error reading the NMEA log file.\n" + path;
        return false;
    }
    if (binary && points.size() == before) {
        why = "Error: not an NMEA log (binary data).\n" + path;
        return false;
    }
    return true;
}

bool loadTrack(const TrackStore& store, TrackEntry& entry, std::string& why)
{
    if (!entry.path || entry.loaded)
        return false;
    if (store.mapFile && sameFile(*entry.path, *store.mapFile)) {
        why = "Error: the track is the map file itself.\n" + *entry.path;
        return false;
    }
    std::vector<TrackPoint> points;
    if (!readLogPoints(*entry.path, points, why))
        return false;
    entry.points = std::move(points);
    entry.loaded = true;
    entry.updateExtent();
    return true;
}

std::vector<std::string> loadAllTracks(TrackStore& store)
{
    std::vector<std::string> problems;
    std::string why;
    for (TrackEntry& e : store.tracks) {
        if (!e.path || e.loaded)
            continue;
        if (!loadTrack(store, e, why))
            problems.push_back(why);
    }
    return problems;
}

TrackExtent loadedExtent(const TrackStore& store)
{
    TrackExtent x;
    for (const TrackEntry& e : store.tracks) {
        if (!e.loaded)
            continue;
        for (const TrackPoint& p : e.points) {
            if (x.empty) {
                x = {p.latDeg, p.latDeg, p.lonDeg, p.lonDeg, false};
                continue;
            }
            x.minLatDeg = std::min(x.minLatDeg, p.latDeg);
            x.maxLatDeg = std::max(x.maxLatDeg, p.latDeg);
            x.minLonDeg = std::min(x.minLonDeg, p.lonDeg);
            x.maxLonDeg = std::max(x.maxLonDeg, p.lonDeg);
        }
    }
    return x;
}

} // namespace varno::trackedit
