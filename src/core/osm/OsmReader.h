// Reading OpenStreetMap data (.osm, .osm.gz, .osm.bz2, .osm.pbf) as a stream of nodes, ways
// and relations.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varno::osm {

struct Tag {
    std::string_view key;
    std::string_view value;
};

// One member of a relation: type is 'n' (node), 'w' (way) or 'r' (relation).
struct Member {
    char type = 'n';
    std::int64_t ref = 0;
    std::string_view role;
};

// What a read hands out; the views are valid during the call only.
class Handler {
public:
    virtual ~Handler() = default;
    // located is false for a node without a usable position (lat/lon then 0).
    virtual void node(std::int64_t /*id*/, bool /*located*/, double /*latDeg*/, double /*lonDeg*/,
                      std::span<const Tag> /*tags*/)
    {
    }
    virtual void way(std::int64_t /*id*/, std::span<const std::int64_t> /*nodeRefs*/,
                     std::span<const Tag> /*tags*/)
    {
    }
    virtual void relation(std::int64_t /*id*/, std::span<const Member> /*members*/,
                          std::span<const Tag> /*tags*/)
    {
    }
    // True ends the read early (not as a cancel); asked between blocks of objects.
    virtual bool wantsStop() const { return false; }
};

enum Kinds : unsigned { kNodes = 1, kWays = 2, kRelations = 4 };

// Bytes read so far and the file's size (0 when unknown); false cancels.
using ReadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct ReadOutcome {
    std::optional<std::string> error; // names the file
    bool cancelled = false;
    explicit operator bool() const { return !error && !cancelled; }
};

// Reads the nodes, ways and/or relations of the file at path, in file order. The format
// comes from the name (.osm, .osm.bz2, .osm.gz, .osm.pbf, .opl); a name
// without a known suffix is read as OSM XML.
ReadOutcome readFile(const std::string& path, unsigned kinds, Handler& handler,
                     const ReadProgress& progress = {});
// The same over bytes in memory; format as osmium names it ("osm", "pbf", "osm.bz2").
ReadOutcome readBytes(std::string_view bytes, const std::string& format, unsigned kinds, Handler& handler);

struct Bounds {
    double bottom = 0.0, left = 0.0, top = 0.0, right = 0.0;
};
// The bounding box the file's header gives; nullopt without one (or when the
// file cannot be read: error says why).
std::optional<Bounds> readBounds(const std::string& path, std::string* error = nullptr);

} // namespace varno::osm
