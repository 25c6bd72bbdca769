// The open track editor map file: its description, zoom and tracks, and the
// reading and writing of the map file and of the tracks' NMEA logs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trackedit/TrackEntry.h"

namespace varno::trackedit {

inline constexpr std::string_view kMapHeader = ";VARNO Track Editor";
// A map line is read in pieces of at most this many characters minus one; the
// rest of a longer line is read as the next line.
inline constexpr std::size_t kMapLineBuffer = 299;
// Only this much of the description is written.
inline constexpr std::size_t kMapDescriptionMax = 288;

struct TrackStore {
    std::optional<std::string> description;
    int zoom = 10; // read and written back, used for nothing else
    bool dirty = false;
    std::optional<std::string> mapFile; // none for a new map file until Save As
    // The listed tracks in file order, then the OSM and GPX entries loaded for
    // display (which have no path and are never written).
    std::vector<TrackEntry> tracks;

    // The rows of the track lists: the entries with a path or a description.
    std::size_t listedCount() const;
};

// Why reading a map file stopped. With showLine, the user may ask to see the
// line that was read (lineRead).
struct MapFileError {
    std::string message;
    bool showLine = false;
    std::string lineRead;
    // Nothing was read: the file could not be opened or holds no line, so no
    // map file is open afterwards.
    bool noMap = false;
};

// Reads a map file's bytes into store; on failure what was read so far stays.
std::optional<MapFileError> parseMapFile(std::string_view bytes, TrackStore& store);
// The same from a file; a file that cannot be opened is named in the message.
std::optional<MapFileError> readMapFile(const std::string& path, TrackStore& store);

// The bytes Save writes, with CR LF line ends.
std::string formatMapFile(const TrackStore& store);
// Writes the map file to path; the error message to show, or nullopt.
std::optional<std::string> writeMapFile(const std::string& path, const TrackStore& store);

// ---- the positions of an NMEA log ----

// The $GPGGA positions of an NMEA log's bytes, in log order; sentences with an
// empty latitude or longitude give no point. No checksum is tested.
std::vector<TrackPoint> parseLogPoints(std::string_view bytes);
// The same read from a file. False, with why set to a message naming the
// file, when it cannot be read as a text log: missing, a folder, too large or binary.
// With ggaLines, each point's $GPGGA line number (from 0) is appended there.
bool readLogPoints(const std::string& path, std::vector<TrackPoint>& points, std::string& why,
                   std::vector<std::uint32_t>* ggaLines = nullptr);

// Loads the points of the entry (path set, not loaded yet). A log that is the
// map file itself is refused. False with why when nothing was loaded.
bool loadTrack(const TrackStore& store, TrackEntry& entry, std::string& why);
// Loads every listed entry that has a path and no points; returns a message for
// each log that could not be read (the entry stays listed, unloaded).
std::vector<std::string> loadAllTracks(TrackStore& store);

// The extent of every loaded entry's points; empty when none has points.
TrackExtent loadedExtent(const TrackStore& store);

} // namespace varno::trackedit
