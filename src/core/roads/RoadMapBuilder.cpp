// Building the road map: libosmium reads the extract (through the OSM reader),
// SQLite writes the map; neither shows outside this file.
#include "roads/RoadMapBuilder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <sqlite3.h>
#include <string_view>
#include <vector>

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <osmium/index/detail/mmap_vector_base.hpp>

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LiveTemporaries.h"
#include "osm/OsmReader.h"
#include "roads/MaxSpeed.h"
#include "roads/RoadMapSchema.h"
#include "roads/RoadWay.h"
#include "roads/WayGeometry.h"

// A node the extract does not have is marked by a position off the globe.
template <> inline constexpr varno::roads::PointE7 osmium::index::empty_value<varno::roads::PointE7>()
{
    return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
}

namespace varno::roads {
namespace {

namespace fs = std::filesystem;

// Names, refs and maxspeed values are cut to this many bytes: OpenStreetMap
// allows 255 characters, and a longer one is damage or an attack.
constexpr std::size_t kMaxTextBytes = 255;
// A compressed XML extract unpacks to at most this many times its size (real
// ones to 8 to 15 times): more is a bomb.
constexpr std::uint64_t kMaxUnpackFactor = 40;

std::string writeFailure(const std::string& path, const std::string& why)
{
    return "Error can't write the road map\n" + path + ": " + why;
}

// ---- where the ways are kept between the reads ----------------------------

// A file beside the destination, named as our temporary files are (so that a
// later write sweeps it away should this process die before it is gone), and
// removed from its folder as soon as it is open: whatever ends the build, it
// leaves nothing behind.
FileHandle scratchFile(const fs::path& beside, std::string& error)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = fmt::format("{}.varno-{}-{:08x}.tmp", beside.string(), temporaryOwner().id,
                                             static_cast<unsigned>(rd()) & 0xffffffffu);
        errno = 0;
        FileHandle f(std::fopen(name.c_str(), "wb+x"));
        if (f) {
            std::error_code ec;
            fs::remove(name, ec);
            return f;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return nullptr;
        }
    }
    error = "no free name for a temporary file";
    return nullptr;
}

// A growing array in memory, or in a scratch file for extracts too large for
// memory (the system pages it in and out).
template <typename T> class BigArray {
public:
    BigArray() = default;
    // Opens the array; false (error says why) when its file cannot be made.
    bool open(bool inFile, const fs::path& beside, std::string& error)
    {
        try {
            if (inFile) {
                file_ = scratchFile(beside, error);
                if (!file_)
                    return false;
                vector_.emplace(fileno(file_.get()), osmium::detail::mmap_vector_size_increment);
            } else {
                vector_.emplace();
            }
            return true;
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
    }
    osmium::detail::mmap_vector_base<T>& operator*() { return *vector_; }
    osmium::detail::mmap_vector_base<T>* operator->() { return &*vector_; }

private:
    FileHandle file_;
    std::optional<osmium::detail::mmap_vector_base<T>> vector_;
};

// The highway ways of the first read, written out one after the other and
// read back in the same order: the id, the tags the map keeps and the node
// ids (as differences).
class WaySpool {
public:
    bool open(const fs::path& beside, std::string& error)
    {
        file_ = scratchFile(beside, error);
        return file_ != nullptr;
    }

    void put(std::uint64_t v)
    {
        while (v >= 0x80) {
            buffer_.push_back(static_cast<char>((v & 0x7f) | 0x80));
            v >>= 7;
        }
        buffer_.push_back(static_cast<char>(v));
    }
    void putSigned(std::int64_t v)
    {
        put((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
    }
    void putText(std::string_view text)
    {
        put(text.size());
        buffer_.append(text);
    }
    // Writes out what has gathered; false when the disk refuses it.
    bool flush(bool always = false)
    {
        if (buffer_.empty() || (!always && buffer_.size() < (1u << 20)))
            return ok_;
        ok_ = ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) == buffer_.size();
        written_ += buffer_.size();
        buffer_.clear();
        return ok_;
    }
    std::uint64_t bytes() const { return written_; }

    // Back to the start for reading.
    bool rewind()
    {
        if (!flush(true) || std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0)
            return false;
        buffer_.clear();
        pos_ = 0;
        read_ = 0;
        return true;
    }
    bool get(std::uint64_t& v)
    {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ == buffer_.size() && !refill())
                return false;
            const auto byte = static_cast<unsigned char>(buffer_[pos_++]);
            v |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool getSigned(std::int64_t& v)
    {
        std::uint64_t u = 0;
        if (!get(u))
            return false;
        v = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
        return true;
    }
    bool getText(std::string& text)
    {
        std::uint64_t n = 0;
        if (!get(n) || n > kMaxTextBytes)
            return false;
        text.clear();
        while (text.size() < n) {
            if (pos_ == buffer_.size() && !refill())
                return false;
            const std::size_t take = std::min<std::size_t>(n - text.size(), buffer_.size() - pos_);
            text.append(buffer_, pos_, take);
            pos_ += take;
        }
        return true;
    }
    std::uint64_t consumed() const { return read_ - (buffer_.size() - pos_); }

private:
    bool refill()
    {
        buffer_.resize(1 << 20);
        const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
        buffer_.resize(got);
        pos_ = 0;
        read_ += got;
        return got > 0;
    }

    FileHandle file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::uint64_t written_ = 0, read_ = 0;
    bool ok_ = true;
};

// ---- the tags --------------------------------------------------------------

// The class a highway value is kept as; nullopt for what is no road (yet, or
// any more) or no line to drive or walk along.
std::optional<RoadClass> classOf(std::string_view highway)
{
    if (highway.ends_with("_link"))
        highway.remove_suffix(5);
    struct Entry {
        std::string_view value;
        RoadClass roadClass;
    };
    static constexpr Entry kClasses[] = {
        {"motorway", RoadClass::Motorway},
        {"trunk", RoadClass::Trunk},
        {"primary", RoadClass::Primary},
        {"secondary", RoadClass::Secondary},
        {"tertiary", RoadClass::Tertiary},
        {"unclassified", RoadClass::Unclassified},
        {"residential", RoadClass::Residential},
        {"living_street", RoadClass::LivingStreet},
        {"service", RoadClass::Service},
        {"track", RoadClass::Track},
        {"path", RoadClass::Path},
        {"footway", RoadClass::Path},
        {"cycleway", RoadClass::Path},
        {"bridleway", RoadClass::Path},
        {"steps", RoadClass::Path},
        {"pedestrian", RoadClass::Path},
        {"road", RoadClass::Other},
        {"busway", RoadClass::Other},
        {"bus_guideway", RoadClass::Other},
        {"raceway", RoadClass::Other},
        {"escape", RoadClass::Other},
    };
    for (const Entry& e : kClasses)
        if (e.value == highway)
            return e.roadClass;
    return std::nullopt;
}

// Cut to kMaxTextBytes, not inside a UTF-8 character.
std::string_view capped(std::string_view text)
{
    if (text.size() <= kMaxTextBytes)
        return text;
    std::size_t n = kMaxTextBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xc0) == 0x80)
        --n;
    return text.substr(0, n);
}

enum WayFlags : std::uint64_t { kOneway = 1, kReversed = 2 };

// ---- the two reads ---------------------------------------------------------

struct Counts {
    std::uint64_t highwayWays = 0;
    std::uint64_t spooled = 0;
    std::uint64_t skipped = 0;
};

class WayPass final : public osm::Handler {
public:
    WayPass(WaySpool& spool, osmium::detail::mmap_vector_base<std::int64_t>& needed, Counts& counts)
        : spool_(spool), needed_(needed), counts_(counts)
    {
    }

    void way(std::int64_t id, std::span<const std::int64_t> refs, std::span<const osm::Tag> tags) override
    {
        std::string_view highway, name, ref, oneway, junction, speed, speedType, speedSource, speedZone;
        for (const osm::Tag& t : tags) {
            if (t.key == "highway")
                highway = t.value;
            else if (t.key == "name")
                name = t.value;
            else if (t.key == "ref")
                ref = t.value;
            else if (t.key == "oneway")
                oneway = t.value;
            else if (t.key == "junction")
                junction = t.value;
            else if (t.key == "maxspeed")
                speed = t.value;
            else if (t.key == "maxspeed:type")
                speedType = t.value;
            else if (t.key == "source:maxspeed")
                speedSource = t.value;
            else if (t.key == "zone:maxspeed")
                speedZone = t.value;
        }
        const std::optional<RoadClass> roadClass = classOf(highway);
        if (!roadClass || refs.size() < 2)
            return;
        ++counts_.highwayWays;
        if (refs.size() > kMaxWayPoints) {
            ++counts_.skipped;
            return;
        }
        // Without maxspeed, the kind of limit the mapper noted ("DE:urban").
        int limit = kLimitUnknown;
        std::string_view limitText;
        if (!speed.empty()) {
            limitText = speed;
            limit = parseMaxSpeed(speed);
        } else {
            for (const std::string_view alt : {speedType, speedSource, speedZone})
                if (!alt.empty() && countryMaxSpeed(alt) != kLimitUnknown) {
                    limitText = alt;
                    limit = countryMaxSpeed(alt);
                    break;
                }
        }
        // Motorways and roundabouts are one way unless tagged otherwise;
        // "-1" runs against the order of the nodes, which is turned round.
        std::uint64_t flags = 0;
        if (oneway == "yes" || oneway == "true" || oneway == "1")
            flags = kOneway;
        else if (oneway == "-1" || oneway == "reverse")
            flags = kOneway | kReversed;
        else if (oneway.empty() && (highway == "motorway" || highway == "motorway_link" ||
                                    junction == "roundabout" || junction == "circular"))
            flags = kOneway;

        spool_.putSigned(id);
        spool_.put(static_cast<std::uint64_t>(*roadClass));
        spool_.put(flags);
        spool_.putSigned(limit);
        spool_.putText(capped(name));
        spool_.putText(capped(ref));
        spool_.putText(capped(limitText));
        spool_.put(refs.size());
        std::int64_t last = 0;
        for (const std::int64_t r : refs) {
            spool_.putSigned(r - last);
            last = r;
            needed_.push_back(r);
        }
        ++counts_.spooled;
        if (!spool_.flush())
            failed_ = true;
    }
    bool wantsStop() const override { return failed_; }
    bool failed() const { return failed_; }

private:
    WaySpool& spool_;
    osmium::detail::mmap_vector_base<std::int64_t>& needed_;
    Counts& counts_;
    bool failed_ = false;
};

class NodePass final : public osm::Handler {
public:
    NodePass(const osmium::detail::mmap_vector_base<std::int64_t>& needed,
             osmium::detail::mmap_vector_base<PointE7>& positions)
        : needed_(needed), positions_(positions)
    {
    }

    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag>) override
    {
        if (!located)
            return;
        // Extracts list their nodes by id, as the needed ids are sorted: one
        // walk along both. A file out of order is searched instead.
        const std::size_t n = needed_.size();
        if (id < last_)
            at_ = static_cast<std::size_t>(std::lower_bound(needed_.begin(), needed_.end(), id) -
                                           needed_.begin());
        last_ = id;
        while (at_ < n && needed_[at_] < id)
            ++at_;
        if (at_ == n || needed_[at_] != id)
            return;
        PointE7& p = positions_[at_];
        // A node given twice keeps its first position.
        if (p == osmium::index::empty_value<PointE7>()) {
            p = {static_cast<std::int32_t>(std::lround(lat * 1e7)),
                 static_cast<std::int32_t>(std::lround(lon * 1e7))};
            ++found_;
        }
    }
    // Every needed node placed: the rest of the file holds nothing for us.
    bool wantsStop() const override { return found_ == needed_.size(); }

private:
    const osmium::detail::mmap_vector_base<std::int64_t>& needed_;
    osmium::detail::mmap_vector_base<PointE7>& positions_;
    std::int64_t last_ = std::numeric_limits<std::int64_t>::min();
    std::size_t at_ = 0;
    std::size_t found_ = 0;
};

// ---- the map file ----------------------------------------------------------

class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool prepare(sqlite3* db, const char* sql)
    {
        return sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) == SQLITE_OK;
    }
    sqlite3_stmt* get() const { return s_; }
    void finish()
    {
        sqlite3_finalize(s_);
        s_ = nullptr;
    }
    // Runs it once and makes it ready for the next values.
    bool run()
    {
        const int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3_stmt* s_ = nullptr;
};

struct WayBox {
    std::int64_t id = 0;
    std::int32_t south = 0, west = 0, north = 0, east = 0;
    std::uint32_t key = 0; // hilbertKey()
    friend bool operator==(const WayBox&, const WayBox&) = default;
};

// Where a way's box lies along a Hilbert curve over the map's bounds: boxes
// packed into the R*Tree in this order fill its nodes with neighbours.
std::uint32_t hilbertKey(const WayBox& b, const WayBox& all)
{
    const auto scale = [](std::int64_t v, std::int64_t low, std::int64_t high) {
        return high > low ? static_cast<std::uint32_t>((v - low) * 65535 / (high - low)) : 0u;
    };
    std::uint32_t x = scale((std::int64_t{b.west} + b.east) / 2, all.west, all.east);
    std::uint32_t y = scale((std::int64_t{b.south} + b.north) / 2, all.south, all.north);
    std::uint32_t d = 0;
    for (std::uint32_t s = 1u << 15; s > 0; s >>= 1) {
        const std::uint32_t rx = (x & s) ? 1 : 0, ry = (y & s) ? 1 : 0;
        d += s * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = 65535 - x;
                y = 65535 - y;
            }
            std::swap(x, y);
        }
    }
    return d;
}

// ---- the R*Tree, packed -----------------------------------------------------
//
// SQLite's R*Tree module inserts one box at a time at some microseconds each,
// and leaves its nodes half full. The map never changes once built, so the
// builder fills the module's own tables (documented in SQLite's rtree.c, and
// checked by its rtreecheck()) itself: the boxes in Hilbert order, as many to
// a node as a node holds, level by level up to the root, node 1. Each node is
// a blob of the size the module gave the empty root: the tree's depth (root
// only) and the number of cells as 16-bit big-endian numbers, then the cells,
// each a 64-bit big-endian id (a way, or in upper levels a node) and the box
// as four big-endian 32-bit floats in column order (min_lat, max_lat, min_lon,
// max_lon), rounded outwards.

struct FloatBox {
    float south, north, west, east;
};

float floatDown(double v)
{
    float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

float floatUp(double v)
{
    float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

void putBigEndian(std::string& node, std::size_t at, std::uint64_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i, v >>= 8)
        node[at + static_cast<std::size_t>(i)] = static_cast<char>(v & 0xff);
}

void putFloat(std::string& node, std::size_t at, float f)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    putBigEndian(node, at, bits, 4);
}

class RtreePacker {
public:
    explicit RtreePacker(sqlite3* db) : db_(db) {}

    // Replaces the empty tree by one of the boxes, which are in Hilbert order.
    bool pack(const osmium::detail::mmap_vector_base<WayBox>& boxes, const std::function<bool(double)>& going)
    {
        if (boxes.empty())
            return true;
        Statement size;
        if (!size.prepare(db_, "SELECT length(data) FROM ways_rtree_node WHERE nodeno = 1") ||
            sqlite3_step(size.get()) != SQLITE_ROW)
            return false;
        nodeBytes_ = static_cast<std::size_t>(sqlite3_column_int(size.get(), 0));
        size.finish();
        capacity_ = (nodeBytes_ - 4) / kCellBytes;
        if (capacity_ < 2 || !exec("DELETE FROM ways_rtree_node") ||
            !insertNode_.prepare(db_, "INSERT INTO ways_rtree_node(nodeno, data) VALUES(?1, ?2)") ||
            !insertRowid_.prepare(db_, "INSERT INTO ways_rtree_rowid(rowid, nodeno) VALUES(?1, ?2)") ||
            !insertParent_.prepare(db_, "INSERT INTO ways_rtree_parent(nodeno, parentnode) VALUES(?1, ?2)"))
            return false;

        // The leaves.
        std::vector<Cell> level, upper;
        std::vector<Cell> cells;
        cells.reserve(capacity_);
        const std::size_t n = boxes.size();
        const std::size_t leaves = (n + capacity_ - 1) / capacity_;
        for (std::size_t first = 0; first < n; first += capacity_) {
            cells.clear();
            for (std::size_t i = first; i < std::min(n, first + capacity_); ++i) {
                const WayBox& b = boxes[i];
                cells.push_back({b.id,
                                 {floatDown(b.south / 1e7), floatUp(b.north / 1e7), floatDown(b.west / 1e7),
                                  floatUp(b.east / 1e7)}});
            }
            const std::int64_t nodeno = leaves == 1 ? 1 : next_++;
            if (!writeNode(nodeno, 0, cells))
                return false;
            for (const Cell& c : cells)
                if (!bindRun(insertRowid_, c.id, nodeno))
                    return false;
            level.push_back({nodeno, unionOf(cells)});
            if ((level.size() & 63) == 0 && !going(static_cast<double>(first) / static_cast<double>(n)))
                return false;
        }
        // The levels above, up to the root.
        for (int depth = 1; level.size() > 1; ++depth) {
            upper.clear();
            for (std::size_t first = 0; first < level.size(); first += capacity_) {
                cells.assign(level.begin() + static_cast<std::ptrdiff_t>(first),
                             level.begin() +
                                 static_cast<std::ptrdiff_t>(std::min(level.size(), first + capacity_)));
                const std::int64_t nodeno = level.size() <= capacity_ ? 1 : next_++;
                if (!writeNode(nodeno, depth, cells))
                    return false;
                for (const Cell& c : cells)
                    if (!bindRun(insertParent_, c.id, nodeno))
                        return false;
                upper.push_back({nodeno, unionOf(cells)});
            }
            level.swap(upper);
        }
        return true;
    }

private:
    static constexpr std::size_t kCellBytes = 8 + 4 * 4;
    struct Cell {
        std::int64_t id;
        FloatBox box;
    };

    static FloatBox unionOf(const std::vector<Cell>& cells)
    {
        FloatBox u = cells.front().box;
        for (const Cell& c : cells) {
            u.south = std::min(u.south, c.box.south);
            u.north = std::max(u.north, c.box.north);
            u.west = std::min(u.west, c.box.west);
            u.east = std::max(u.east, c.box.east);
        }
        return u;
    }

    bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    bool bindRun(Statement& s, std::int64_t a, std::int64_t b)
    {
        sqlite3_bind_int64(s.get(), 1, a);
        sqlite3_bind_int64(s.get(), 2, b);
        return s.run();
    }

    bool writeNode(std::int64_t nodeno, int depth, const std::vector<Cell>& cells)
    {
        node_.assign(nodeBytes_, '\0');
        putBigEndian(node_, 0, nodeno == 1 ? static_cast<std::uint64_t>(depth) : 0, 2);
        putBigEndian(node_, 2, cells.size(), 2);
        std::size_t at = 4;
        for (const Cell& c : cells) {
            putBigEndian(node_, at, static_cast<std::uint64_t>(c.id), 8);
            putFloat(node_, at + 8, c.box.south);
            putFloat(node_, at + 12, c.box.north);
            putFloat(node_, at + 16, c.box.west);
            putFloat(node_, at + 20, c.box.east);
            at += kCellBytes;
        }
        sqlite3_bind_int64(insertNode_.get(), 1, nodeno);
        sqlite3_bind_blob(insertNode_.get(), 2, node_.data(), static_cast<int>(node_.size()), SQLITE_STATIC);
        return insertNode_.run();
    }

    sqlite3* db_;
    Statement insertNode_, insertRowid_, insertParent_;
    std::size_t nodeBytes_ = 0, capacity_ = 0;
    std::int64_t next_ = 2;
    std::string node_;
};

std::string isoTime(std::chrono::system_clock::time_point t)
{
    return fmt::format("{:%Y-%m-%dT%H:%M:%SZ}", std::chrono::floor<std::chrono::seconds>(t));
}

// Where id is (or would be) in the sorted ids, searched from hint outwards:
// the nodes of a way are mostly close in id to the one before, so the search
// stays among a few neighbours instead of crossing a list that may not fit
// in memory.
std::size_t nearIndex(const osmium::detail::mmap_vector_base<std::int64_t>& ids, std::int64_t id,
                      std::size_t hint)
{
    const std::size_t n = ids.size();
    if (n == 0)
        return 0;
    hint = std::min(hint, n - 1);
    std::size_t low = 0, high = n; // the answer lies in [low, high]
    if (ids[hint] < id) {
        std::size_t step = 1;
        low = hint + 1;
        while (hint + step < n && ids[hint + step] < id) {
            low = hint + step + 1;
            step *= 2;
        }
        high = std::min(n, hint + step);
    } else {
        std::size_t step = 1;
        high = hint;
        while (step <= hint && ids[hint - step] >= id) {
            high = hint - step;
            step *= 2;
        }
        low = step <= hint ? hint - step + 1 : 0;
    }
    return static_cast<std::size_t>(std::lower_bound(ids.begin() + low, ids.begin() + high, id) -
                                    ids.begin());
}

class Build {
public:
    Build(const std::string& source, const std::string& destination, const RoadMapBuildOptions& options)
        : source_(source), destination_(destination), options_(options)
    {
    }
    ~Build() { discard(); }

    Report run();

private:
    bool wanted(double fraction)
    {
        if (options_.cancel && options_.cancel->load(std::memory_order_relaxed))
            cancelled_ = true;
        else if (options_.progress && fraction - shown_ >= 0.001) {
            shown_ = fraction;
            cancelled_ = !options_.progress(fraction);
        }
        return !cancelled_;
    }
    Report failed(std::string why)
    {
        discard();
        return Report::failed(std::move(why));
    }
    Report stopped()
    {
        discard();
        Report r;
        r.status = Report::Status::Cancelled;
        r.message = kCancelled;
        return r;
    }
    std::string sqliteFailure(const char* what)
    {
        return writeFailure(destination_,
                            fmt::format("{} ({})", what, db_ ? sqlite3_errmsg(db_) : "no database"));
    }
    bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    bool createTemporary(std::string& error);
    void discard()
    {
        if (db_) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
        }
        if (!temp_.empty()) {
            std::error_code ec;
            fs::remove(temp_, ec);
            liveTemporaries::drop(temp_);
            temp_.clear();
        }
    }

    std::string source_, destination_;
    const RoadMapBuildOptions& options_;
    std::string temp_;
    sqlite3* db_ = nullptr;
    double shown_ = -1.0;
    bool cancelled_ = false;
};

bool Build::createTemporary(std::string& error)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = fmt::format("{}.varno-{}-{:08x}.tmp", destination_, temporaryOwner().id,
                                             static_cast<unsigned>(rd()) & 0xffffffffu);
        errno = 0;
        FileHandle f(std::fopen(name.c_str(), "wbx"));
        if (f) {
            temp_ = name;
            liveTemporaries::add(temp_);
            return true;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return false;
        }
    }
    error = "no free name for a temporary file";
    return false;
}

Report Build::run()
{
    std::error_code ec;
    const fs::file_status sourceStatus = fs::status(source_, ec);
    if (!fs::exists(sourceStatus))
        return failed("Error can't open source file\n" + source_ + ": no such file");
    if (fs::equivalent(source_, destination_, ec))
        return failed(writeFailure(destination_, "the road map cannot take the place of its own extract"));
    const fs::file_status destinationStatus = fs::status(destination_, ec);
    if (fs::exists(destinationStatus) && !fs::is_regular_file(destinationStatus))
        return failed(writeFailure(destination_, fs::is_directory(destinationStatus)
                                                     ? "a folder is in the way"
                                                     : "not a regular file"));
    const std::uint64_t sourceBytes = fs::is_regular_file(sourceStatus) ? fs::file_size(source_, ec) : 0;

    // The temporary map first: a folder we cannot write to fails at once.
    // What a killed build left beside the map goes.
    removeStaleTemporaries(destination_);
    std::string why;
    if (!createTemporary(why))
        return failed(writeFailure(destination_, why));

    // An extract of more nodes than memory should hold keeps its index in
    // files. Nodes estimated from the size: about 10 bytes a node in .pbf,
    // 100 in XML, 10 in packed XML.
    const bool xml = !source_.ends_with(".pbf");
    const bool packed = source_.ends_with(".gz") || source_.ends_with(".bz2");
    const std::uint64_t nodes = sourceBytes / (xml && !packed ? 100 : 10);
    const bool inFiles = nodes >= options_.nodesInMemory;
    const fs::path beside(destination_);

    WaySpool spool;
    BigArray<std::int64_t> needed;
    if (!spool.open(beside, why) || !needed.open(inFiles, beside, why))
        return failed(writeFailure(destination_, why));

    osm::ReadLimits limits;
    limits.maxUnpackedBytes =
        std::max<std::uint64_t>(limits.maxUnpackedBytes, sourceBytes * kMaxUnpackFactor);

    // 1. The highway ways and the nodes they need.
    Counts counts;
    {
        WayPass pass(spool, *needed, counts);
        const osm::ReadOutcome read = osm::readFile(
            source_, osm::kWays, pass,
            [&](std::uint64_t done, std::uint64_t total) {
                return wanted(total ? 0.35 * static_cast<double>(done) / static_cast<double>(total) : 0.0);
            },
            limits);
        if (read.cancelled || cancelled_)
            return stopped();
        if (read.error)
            return failed(*read.error);
        if (pass.failed() || !spool.rewind())
            return failed(writeFailure(destination_, "the disk refused the list of ways being built"));
    }
    std::sort(needed->begin(), needed->end());
    needed->resize(static_cast<std::size_t>(std::unique(needed->begin(), needed->end()) - needed->begin()));
    if (!wanted(0.37))
        return stopped();

    // 2. Their positions.
    BigArray<PointE7> positions;
    if (!positions.open(inFiles, beside, why))
        return failed(writeFailure(destination_, why));
    try {
        positions->resize(needed->size());
        std::fill(positions->begin(), positions->end(), osmium::index::empty_value<PointE7>());
    } catch (const std::exception& e) {
        return failed(writeFailure(destination_, e.what()));
    }
    if (!needed->empty()) {
        NodePass pass(*needed, *positions);
        const osm::ReadOutcome read = osm::readFile(
            source_, osm::kNodes, pass,
            [&](std::uint64_t done, std::uint64_t total) {
                return wanted(0.37 +
                              (total ? 0.38 * static_cast<double>(done) / static_cast<double>(total) : 0.0));
            },
            limits);
        if (read.cancelled || cancelled_)
            return stopped();
        if (read.error)
            return failed(*read.error);
    }

    // 3. The ways into the map, in one transaction. No journal: a build that
    // fails is thrown away whole.
    if (sqlite3_open_v2(temp_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK)
        return failed(sqliteFailure("cannot start the road map"));
    if (!exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536;") ||
        !exec(schema::kCreate) || !exec("BEGIN"))
        return failed(sqliteFailure("cannot start the road map"));
    Statement insertWay, insertMeta;
    if (!insertWay.prepare(db_, schema::kInsertWay) || !insertMeta.prepare(db_, schema::kInsertMetadata))
        return failed(sqliteFailure("cannot start the road map"));

    BigArray<WayBox> boxes;
    if (!boxes.open(inFiles, beside, why))
        return failed(writeFailure(destination_, why));
    std::vector<PointE7> points;
    std::string name, ref, limitText, blob;
    std::int64_t written = 0, pointCount = 0, named = 0, limited = 0;
    WayBox all{0, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
               std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
    const double spoolBytes = static_cast<double>(std::max<std::uint64_t>(spool.bytes(), 1));
    const auto& ids = *needed;
    for (std::uint64_t way = 0; way < counts.spooled; ++way) {
        std::int64_t id = 0, limit = 0;
        std::uint64_t roadClass = 0, flags = 0, refCount = 0;
        if (!spool.getSigned(id) || !spool.get(roadClass) || !spool.get(flags) || !spool.getSigned(limit) ||
            !spool.getText(name) || !spool.getText(ref) || !spool.getText(limitText) || !spool.get(refCount))
            return failed(writeFailure(destination_, "the list of ways being built could not be read back"));
        points.clear();
        std::int64_t node = 0;
        std::size_t hint = 0;
        for (std::uint64_t i = 0; i < refCount; ++i) {
            std::int64_t delta = 0;
            if (!spool.getSigned(delta))
                return failed(
                    writeFailure(destination_, "the list of ways being built could not be read back"));
            node += delta;
            const std::size_t at = nearIndex(ids, node, hint);
            if (at == ids.size() || ids[at] != node)
                continue;
            hint = at;
            const PointE7 p = (*positions)[at];
            if (p == osmium::index::empty_value<PointE7>() || (!points.empty() && points.back() == p))
                continue;
            points.push_back(p);
        }
        if (points.size() < 2) {
            ++counts.skipped;
            continue;
        }
        if (flags & kReversed)
            std::reverse(points.begin(), points.end());
        WayBox box{id, points[0].lat, points[0].lon, points[0].lat, points[0].lon};
        for (const PointE7& p : points) {
            box.south = std::min(box.south, p.lat);
            box.north = std::max(box.north, p.lat);
            box.west = std::min(box.west, p.lon);
            box.east = std::max(box.east, p.lon);
        }
        blob = encodeWayGeometry(points);
        sqlite3_stmt* s = insertWay.get();
        sqlite3_bind_int64(s, 1, id);
        sqlite3_bind_int(s, 2, static_cast<int>(std::min<std::uint64_t>(roadClass, 11)));
        const auto bindText = [s](int column, const std::string& text) {
            if (text.empty())
                sqlite3_bind_null(s, column);
            else
                sqlite3_bind_text(s, column, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        };
        bindText(3, name);
        bindText(4, ref);
        sqlite3_bind_int(s, 5, static_cast<int>(limit));
        bindText(6, limitText);
        sqlite3_bind_int(s, 7, (flags & kOneway) ? 1 : 0);
        sqlite3_bind_blob(s, 8, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        // A way id given twice keeps its first way.
        if (!insertWay.run()) {
            if ((sqlite3_errcode(db_) & 0xff) == SQLITE_CONSTRAINT) {
                ++counts.skipped;
                continue;
            }
            return failed(sqliteFailure("cannot write a way"));
        }
        try {
            boxes->push_back(box);
        } catch (const std::exception& e) {
            return failed(writeFailure(destination_, e.what()));
        }
        all.south = std::min(all.south, box.south);
        all.west = std::min(all.west, box.west);
        all.north = std::max(all.north, box.north);
        all.east = std::max(all.east, box.east);
        ++written;
        pointCount += static_cast<std::int64_t>(points.size());
        named += !name.empty() || !ref.empty();
        limited += limit != kLimitUnknown;
        if ((written & 1023) == 0 &&
            !wanted(0.75 + 0.17 * static_cast<double>(spool.consumed()) / spoolBytes))
            return stopped();
    }

    // 4. Their boxes into the R*Tree, neighbours together.
    for (WayBox& b : *boxes)
        b.key = hilbertKey(b, all);
    std::sort(boxes->begin(), boxes->end(),
              [](const WayBox& a, const WayBox& b) { return a.key != b.key ? a.key < b.key : a.id < b.id; });
    if (!RtreePacker(db_).pack(*boxes, [this](double done) { return wanted(0.92 + 0.07 * done); }))
        return cancelled_ ? stopped() : failed(sqliteFailure("cannot write the index of the ways"));

    // 5. What the map is, and into place.
    const fs::file_time_type sourceTime = fs::last_write_time(source_, ec);
    const std::string sourceTimeText =
        ec ? std::string() : isoTime(std::chrono::file_clock::to_sys(sourceTime));
    const std::string sourcePath = fs::absolute(source_, ec).string();
    const auto meta = [&](const char* key, const std::string& value) {
        sqlite3_bind_text(insertMeta.get(), 1, key, -1, SQLITE_STATIC);
        sqlite3_bind_text(insertMeta.get(), 2, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        return insertMeta.run();
    };
    const std::string bounds = written == 0 ? std::string("0,0,0,0")
                                            : fmt::format("{:.7f},{:.7f},{:.7f},{:.7f}", all.south / 1e7,
                                                          all.west / 1e7, all.north / 1e7, all.east / 1e7);
    const bool metaWritten =
        meta(schema::kKeyFormat, std::to_string(schema::kFormat)) && meta(schema::kKeySource, sourcePath) &&
        meta(schema::kKeySourceSize, std::to_string(sourceBytes)) &&
        meta(schema::kKeySourceTime, sourceTimeText) &&
        meta(schema::kKeyBuildVersion, options_.buildVersion) &&
        meta(schema::kKeyBuilt, isoTime(std::chrono::system_clock::now())) &&
        meta(schema::kKeyBounds, bounds) && meta(schema::kKeyWays, std::to_string(written)) &&
        meta(schema::kKeyPoints, std::to_string(pointCount)) &&
        meta(schema::kKeyNamed, std::to_string(named)) &&
        meta(schema::kKeyLimited, std::to_string(limited)) &&
        meta(schema::kKeySkipped, std::to_string(counts.skipped));
    if (!metaWritten)
        return failed(sqliteFailure("cannot write the map's description"));
    if (!wanted(0.995))
        return stopped();
    if (!exec("COMMIT"))
        return failed(sqliteFailure("cannot finish the road map"));
    insertWay.finish();
    insertMeta.finish();
    const int closed = sqlite3_close(db_);
    db_ = nullptr;
    if (closed != SQLITE_OK)
        return failed(writeFailure(destination_, "cannot finish the road map"));
    fs::rename(temp_, destination_, ec);
    if (ec)
        return failed(writeFailure(destination_, ec.message()));
    liveTemporaries::drop(temp_);
    temp_.clear();
    if (options_.progress)
        options_.progress(1.0);

    Report r;
    r.message = fmt::format("Road map: {} ways written to {}", written, destination_);
    r.linesIn = counts.highwayWays;
    r.linesOut = static_cast<std::uint64_t>(written);
    if (counts.skipped > 0)
        r.notes = fmt::format("{} highway ways were left out: fewer than two of their nodes are in the "
                              "extract, or more than a way may have",
                              counts.skipped);
    return r;
}

} // namespace

Report buildRoadMap(const std::string& source, const std::string& destination,
                    const RoadMapBuildOptions& options)
{
    try {
        Build build(source, destination, options);
        return build.run();
    } catch (const std::exception& e) {
        return Report::failed(writeFailure(destination, e.what()));
    }
}

} // namespace varno::roads
