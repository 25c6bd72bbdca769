// The road map: one SQLite file per region, built once from an OpenStreetMap
// extract by RoadMapBuilder and read here, read-only.
//
// Tables (format 1; any SQLite tool can open the file):
//   ways(id INTEGER PRIMARY KEY,    the OpenStreetMap way id
//        class INTEGER,             RoadClass (RoadWay.h), "_link" ways as their road
//        name TEXT, ref TEXT,       NULL when the way has none
//        maxspeed_kph INTEGER,      the limit in km/h; 0 not known, -1 none
//        maxspeed TEXT,             the value it was read from (maxspeed, else maxspeed:type,
//                                   source:maxspeed or zone:maxspeed), NULL when none
//        oneway INTEGER,            1: one way, in the order of the points
//        geometry BLOB)             the points (WayGeometry.h)
//   ways_rtree(id, min_lat, max_lat, min_lon, max_lon)
//                                   an R*Tree of the ways' extents [deg], id as in ways
//   metadata(key TEXT PRIMARY KEY, value TEXT)
//                                   format, source, source_size, source_time, build_version,
//                                   built, bounds ("south,west,north,east"), ways, points,
//                                   named_ways, limited_ways, skipped_ways
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "roads/RoadWay.h"

namespace varno::roads {

struct RoadMapInfo {
    std::string path;
    std::uintmax_t fileBytes = 0;
    int format = 0;
    std::string source; // the extract it was built from
    std::uintmax_t sourceBytes = 0;
    std::string sourceTime; // the extract's modification time, UTC, ISO 8601
    std::string buildVersion;
    std::string built; // when it was built, UTC, ISO 8601
    RoadBox bounds;    // of its ways; all zero for a map without ways
    std::int64_t ways = 0;
    std::int64_t points = 0;
    std::int64_t namedWays = 0;
    std::int64_t limitedWays = 0;
    std::int64_t skippedWays = 0;
};

class RoadMapFile final : public RoadSource {
public:
    // Opens the road map at path for reading. Null when it cannot be used,
    // with error saying why and naming the file: missing, not a file, not an
    // SQLite file, truncated, or not a road map of this format.
    static std::unique_ptr<RoadMapFile> open(const std::string& path, std::string& error);
    ~RoadMapFile() override;
    RoadMapFile(const RoadMapFile&) = delete;
    RoadMapFile& operator=(const RoadMapFile&) = delete;

    // The ways whose extent meets the box. A file damaged where the query
    // reads gives the ways read before the damage, and lastError() says so.
    // Safe to call from several threads (they take turns).
    void waysIn(const RoadBox& box, std::vector<RoadWay>& out) const override;

    const RoadMapInfo& info() const;
    // Why the last waysIn() came back short, empty when it did not.
    std::string lastError() const;

private:
    struct Impl;
    explicit RoadMapFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace varno::roads
