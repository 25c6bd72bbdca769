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

// What a read refuses to go on with: a file that unpacks to more bytes than
// any file we read unpacked may have, and in XML an attribute or text (a
// stretch without '<' or '>') longer than any OSM data holds.
struct ReadLimits {
    std::uint64_t maxUnpackedBytes = std::uint64_t{1} << 30;
    std::size_t maxMarkupRun = std::size_t{1} << 20;
    bool xml = false; // set by the reader from the format
};

// Reads the nodes, ways and/or relations of the file at path, in file order. The format
// comes from the name (.osm, .osm.bz2, .osm.gz, .osm.pbf, .opl); a name
// without a known suffix is read as OSM XML.
ReadOutcome readFile(const std::string& path, unsigned kinds, Handler& handler,
                     const ReadProgress& progress = {}, const ReadLimits& limits = {});
// The same over bytes in memory; format as osmium names it ("osm", "pbf", "osm.bz2").
ReadOutcome readBytes(std::string_view bytes, const std::string& format, unsigned kinds, Handler& handler,
                      const ReadLimits& limits = {});

struct Bounds {
    double bottom = 0.0, left = 0.0, top = 0.0, right = 0.0;
};
// The bounding box the file's header gives; nullopt without one (or when the
// file cannot be read: error says why).
std::optional<Bounds> readBounds(const std::string& path, std::string* error = nullptr);

} // namespace varno::osm
