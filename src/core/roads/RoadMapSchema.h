// The road map file's tables, shared by the builder that writes them and the
// reader; see RoadMapFile.h for what each column holds.
#pragma once

namespace varno::roads::schema {

// Raised whenever a table or the meaning of a column changes: a file of
// another format is refused by name, not misread.
inline constexpr int kFormat = 1;

inline constexpr char kCreate[] =
    "CREATE TABLE metadata(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE ways(id INTEGER PRIMARY KEY, class INTEGER NOT NULL, name TEXT, ref TEXT,"
    " maxspeed_kph INTEGER NOT NULL, maxspeed TEXT, oneway INTEGER NOT NULL, geometry BLOB NOT NULL);"
    "CREATE VIRTUAL TABLE ways_rtree USING rtree(id, min_lat, max_lat, min_lon, max_lon);";

inline constexpr char kInsertWay[] =
    "INSERT INTO ways(id, class, name, ref, maxspeed_kph, maxspeed, oneway, geometry)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
inline constexpr char kInsertMetadata[] = "INSERT OR REPLACE INTO metadata(key, value) VALUES(?1, ?2)";

inline constexpr char kSelectIn[] =
    "SELECT w.id, w.class, w.name, w.ref, w.maxspeed_kph, w.maxspeed, w.oneway, w.geometry"
    " FROM ways_rtree r JOIN ways w ON w.id = r.id"
    " WHERE r.max_lat >= ?1 AND r.min_lat <= ?2 AND r.max_lon >= ?3 AND r.min_lon <= ?4";
inline constexpr char kSelectMetadata[] = "SELECT key, value FROM metadata";

// The metadata keys.
inline constexpr char kKeyFormat[] = "format";              // kFormat
inline constexpr char kKeySource[] = "source";              // the extract's path as given to the build
inline constexpr char kKeySourceSize[] = "source_size";     // its size [bytes]
inline constexpr char kKeySourceTime[] = "source_time";     // its modification time, UTC, ISO 8601
inline constexpr char kKeyBuildVersion[] = "build_version"; // the program version that built the map
inline constexpr char kKeyBuilt[] = "built";                // when, UTC, ISO 8601
inline constexpr char kKeyBounds[] = "bounds";              // "south,west,north,east" of the ways [deg]
inline constexpr char kKeyWays[] = "ways";                  // rows of ways
inline constexpr char kKeyPoints[] = "points";              // points of all ways
inline constexpr char kKeyNamed[] = "named_ways";           // ways with a name or a ref
inline constexpr char kKeyLimited[] = "limited_ways";       // ways with a known maxspeed
inline constexpr char kKeySkipped[] = "skipped_ways";       // highway ways left out (nodes missing)

} // namespace varno::roads::schema
