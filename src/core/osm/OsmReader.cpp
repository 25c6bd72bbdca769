// OpenStreetMap reading through libosmium; nothing of it shows outside this file.
#include "osm/OsmReader.h"

#include <algorithm>
#include <bzlib.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <stdexcept>
#include <zlib.h>

#include <fmt/format.h>
// Not any_input.hpp: that registers libosmium's own gzip and bzip2 readers,
// and ours (below) must be the ones a compressed file goes through.
#include <osmium/io/compression.hpp>
#include <osmium/io/detail/read_write.hpp>
#include <osmium/io/o5m_input.hpp>
#include <osmium/io/opl_input.hpp>
#include <osmium/io/pbf_input.hpp>
#include <osmium/io/xml_input.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"

namespace varno::osm {
namespace {

// The limits of the read being set up on this thread; libosmium makes the
// decompressor in the Reader's constructor, on the caller's thread.
thread_local const ReadLimits* t_limits = nullptr;

// What every XML and every compressed file is read through. The input cap of
// the other readers cannot see into a compressed file: a kilobyte of bzip2 can
// unpack to gigabytes. And expat reads a token it has not seen the end of again
// with every new block, so one attribute of a gigabyte costs hours, however it
// arrives. So the unpacked bytes are counted, and in XML a stretch without '<'
// or '>' (in OSM data an element is never long) is cut off early. Packed or
// not is told from the first bytes, so a plain file can come through here too.
class GuardedDecompressor final : public osmium::io::Decompressor {
public:
    explicit GuardedDecompressor(int fd) : fd_(fd), limits_(currentLimits()) {}
    GuardedDecompressor(const char* buffer, std::size_t size)
        : buffer_(buffer), bufferLeft_(size), limits_(currentLimits())
    {
    }
    GuardedDecompressor(const GuardedDecompressor&) = delete;
    GuardedDecompressor& operator=(const GuardedDecompressor&) = delete;
    ~GuardedDecompressor() noexcept override
    {
        try {
            close();
        } catch (...) {
            // nothing more to do for a file being given up
        }
    }

    std::string read() override
    {
        std::string out;
        while (out.empty() && !done_) {
            if (inPos_ == in_.size()) {
                in_ = readRaw();
                inPos_ = 0;
                if (in_.empty()) {
                    if (kind_ != Kind::Plain && kind_ != Kind::Unknown && !streamEnded_)
                        throw std::runtime_error("the compressed data ends early");
                    done_ = true;
                    break;
                }
            }
            if (kind_ == Kind::Unknown)
                start();
            if (kind_ == Kind::Plain) {
                out.assign(in_, inPos_);
                inPos_ = in_.size();
            } else {
                unpack(out);
            }
        }
        check(out);
        return out;
    }

    void close() override
    {
        endStream();
        if (fd_ >= 0) {
            const int fd = fd_;
            fd_ = -1;
            osmium::io::detail::reliable_close(fd);
        }
    }

private:
    enum class Kind { Unknown, Plain, Gzip, Bzip2 };

    static ReadLimits currentLimits() { return t_limits ? *t_limits : ReadLimits{}; }

    std::string readRaw()
    {
        std::string raw;
        if (buffer_) {
            raw.assign(buffer_, bufferLeft_);
            bufferLeft_ = 0;
        } else if (fd_ >= 0) {
            raw.resize(osmium::io::Decompressor::input_buffer_size);
            const auto got =
                osmium::io::detail::reliable_read(fd_, raw.data(), static_cast<unsigned>(raw.size()));
            raw.resize(static_cast<std::size_t>(got));
        }
        packedBytes_ += raw.size();
        set_offset(packedBytes_);
        return raw;
    }

    void start()
    {
        const std::string_view head(in_.data() + inPos_, in_.size() - inPos_);
        if (head.starts_with("BZh"))
            kind_ = Kind::Bzip2;
        else if (head.starts_with("\x1f\x8b"))
            kind_ = Kind::Gzip;
        else
            kind_ = Kind::Plain;
        beginStream();
    }

    void beginStream()
    {
        int rc = 0;
        if (kind_ == Kind::Gzip) {
            zs_ = {};
            rc = inflateInit2(&zs_, 15 + 32) == Z_OK ? 0 : 1;
        } else if (kind_ == Kind::Bzip2) {
            bz_ = {};
            rc = BZ2_bzDecompressInit(&bz_, 0, 0) == BZ_OK ? 0 : 1;
        }
        if (rc != 0)
            throw std::runtime_error("cannot start unpacking");
        streamOpen_ = kind_ == Kind::Gzip || kind_ == Kind::Bzip2;
        streamEnded_ = false;
    }

    void endStream()
    {
        if (!streamOpen_)
            return;
        if (kind_ == Kind::Gzip)
            inflateEnd(&zs_);
        else
            BZ2_bzDecompressEnd(&bz_);
        streamOpen_ = false;
    }

    // Unpacks what of in_ it can into out; a file of several packed streams
    // (as parallel packers write them) is read stream after stream.
    void unpack(std::string& out)
    {
        if (streamEnded_) {
            endStream();
            beginStream();
        }
        out.resize(osmium::io::Decompressor::input_buffer_size);
        const std::size_t inLeft = in_.size() - inPos_;
        std::size_t used = 0, made = 0;
        bool ended = false;
        if (kind_ == Kind::Gzip) {
            zs_.next_in = reinterpret_cast<Bytef*>(in_.data() + inPos_);
            zs_.avail_in = static_cast<uInt>(inLeft);
            zs_.next_out = reinterpret_cast<Bytef*>(out.data());
            zs_.avail_out = static_cast<uInt>(out.size());
            const int rc = inflate(&zs_, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                throw std::runtime_error("the gzip data is damaged");
            used = inLeft - zs_.avail_in;
            made = out.size() - zs_.avail_out;
            ended = rc == Z_STREAM_END;
        } else {
            bz_.next_in = in_.data() + inPos_;
            bz_.avail_in = static_cast<unsigned>(inLeft);
            bz_.next_out = out.data();
            bz_.avail_out = static_cast<unsigned>(out.size());
            const int rc = BZ2_bzDecompress(&bz_);
            if (rc != BZ_OK && rc != BZ_STREAM_END)
                throw std::runtime_error("the bzip2 data is damaged");
            used = inLeft - bz_.avail_in;
            made = out.size() - bz_.avail_out;
            ended = rc == BZ_STREAM_END;
        }
        inPos_ += used;
        out.resize(made);
        streamEnded_ = ended;
        if (!ended && used == 0 && made == 0)
            throw std::runtime_error("the compressed data is damaged");
    }

    void check(std::string_view out)
    {
        unpackedBytes_ += out.size();
        if (unpackedBytes_ > limits_.maxUnpackedBytes)
            throw std::runtime_error("unpacks to more than " + inputSizeText(limits_.maxUnpackedBytes));
        if (!limits_.xml)
            return;
        for (const char c : out) {
            if (c == '<' || c == '>')
                run_ = 0;
            else if (++run_ > limits_.maxMarkupRun)
                throw std::runtime_error(
                    fmt::format("an attribute or text is longer than {} bytes", limits_.maxMarkupRun));
        }
    }

    int fd_ = -1;
    const char* buffer_ = nullptr;
    std::size_t bufferLeft_ = 0;
    ReadLimits limits_;
    Kind kind_ = Kind::Unknown;
    std::string in_;
    std::size_t inPos_ = 0;
    z_stream zs_{};
    bz_stream bz_{};
    bool streamOpen_ = false;
    bool streamEnded_ = false;
    bool done_ = false;
    std::size_t packedBytes_ = 0;
    std::uint64_t unpackedBytes_ = 0;
    std::size_t run_ = 0;
};

const bool g_guardRegistered = [] {
    auto& factory = osmium::io::CompressionFactory::instance();
    bool ok = true;
    for (const auto kind : {osmium::io::file_compression::gzip, osmium::io::file_compression::bzip2})
        ok =
            factory.register_compression(
                kind,
                [](int, osmium::io::fsync) -> osmium::io::Compressor* {
                    throw std::runtime_error("this program writes no packed OSM files");
                },
                [](int fd) { return new GuardedDecompressor(fd); },
                [](const char* buffer, std::size_t size) { return new GuardedDecompressor(buffer, size); }) &&
            ok;
    return ok;
}();

osmium::io::File osmFile(const std::string& path)
{
    osmium::io::File file(path);
    // A name osmium does not know (a log folder's "export.txt") is read as XML.
    if (file.format() == osmium::io::file_format::unknown)
        file.set_format(osmium::io::file_format::xml);
    return file;
}

class Pump {
public:
    Pump(Handler& handler) : handler_(handler) {}

    void operator()(const osmium::memory::Buffer& buffer)
    {
        for (const auto& item : buffer) {
            if (item.type() == osmium::item_type::node) {
                const auto& node = static_cast<const osmium::Node&>(item);
                collectTags(node.tags());
                const osmium::Location loc = node.location();
                const bool located = loc.valid();
                // A node without lat and lon (a deleted one) is passed on
                // unplaced; one whose numbers no place on Earth has is refused.
                if (loc.is_defined() && !located)
                    throw std::runtime_error(
                        fmt::format("node {} has a position no place on Earth has", node.id()));
                handler_.node(node.id(), located, located ? loc.lat() : 0.0, located ? loc.lon() : 0.0,
                              tags_);
            } else if (item.type() == osmium::item_type::way) {
                const auto& way = static_cast<const osmium::Way&>(item);
                collectTags(way.tags());
                refs_.clear();
                for (const auto& ref : way.nodes())
                    refs_.push_back(ref.ref());
                handler_.way(way.id(), refs_, tags_);
            } else if (item.type() == osmium::item_type::relation) {
                const auto& relation = static_cast<const osmium::Relation&>(item);
                collectTags(relation.tags());
                members_.clear();
                for (const auto& member : relation.members())
                    members_.push_back({memberType(member.type()), member.ref(), member.role()});
                handler_.relation(relation.id(), members_, tags_);
            }
        }
    }

private:
    static char memberType(osmium::item_type type)
    {
        switch (type) {
        case osmium::item_type::way:
            return 'w';
        case osmium::item_type::relation:
            return 'r';
        default:
            return 'n';
        }
    }

    void collectTags(const osmium::TagList& list)
    {
        tags_.clear();
        for (const auto& tag : list)
            tags_.push_back({tag.key(), tag.value()});
    }

    Handler& handler_;
    std::vector<Tag> tags_;
    std::vector<std::int64_t> refs_;
    std::vector<Member> members_;
};

osmium::osm_entity_bits::type entityBits(unsigned kinds)
{
    auto bits = osmium::osm_entity_bits::nothing;
    if (kinds & kNodes)
        bits |= osmium::osm_entity_bits::node;
    if (kinds & kWays)
        bits |= osmium::osm_entity_bits::way;
    if (kinds & kRelations)
        bits |= osmium::osm_entity_bits::relation;
    return bits;
}

// Makes the Reader; XML goes through the guarded reader above even unpacked.
osmium::io::Reader openReader(osmium::io::File file, unsigned kinds, const ReadLimits& limits)
{
    ReadLimits guard = limits;
    guard.xml = file.format() == osmium::io::file_format::xml;
    if (guard.xml && file.compression() == osmium::io::file_compression::none)
        file.set_compression(osmium::io::file_compression::gzip); // told apart by its first bytes
    struct Scope {
        explicit Scope(const ReadLimits* l) { t_limits = l; }
        ~Scope() { t_limits = nullptr; }
    } scope(&guard);
    return osmium::io::Reader(file, entityBits(kinds), osmium::io::read_meta::no);
}

ReadOutcome readOsmFile(const osmium::io::File& file, const std::string& name, unsigned kinds,
                        Handler& handler, const ReadProgress& progress, const ReadLimits& limits)
{
    ReadOutcome outcome;
    try {
        if (!g_guardRegistered)
            throw std::runtime_error("packed files cannot be read safely");
        osmium::io::Reader reader = openReader(file, kinds, limits);
        Pump pump(handler);
        while (osmium::memory::Buffer buffer = reader.read()) {
            pump(buffer);
            if (handler.wantsStop())
                break;
            if (progress && !progress(reader.offset(), reader.file_size())) {
                outcome.cancelled = true;
                break;
            }
        }
        reader.close();
    } catch (const std::exception& e) {
        outcome.error = "Error reading the OSM file\n" + name + ": " + e.what();
    }
    return outcome;
}

// Plain XML that libosmium refuses but that holds ordinary nodes and ways:
// files of the older 0.5 API (same elements, "+00:00" timestamps) and
// Overpass output with <center> elements in its ways. A small one is read
// again with those parts mended in memory.
constexpr std::uintmax_t kMendLimit = std::uintmax_t{256} << 20;

std::optional<std::string> mendedXml(const std::string& path)
{
    FileHandle f = openForReading(path, nullptr, kMendLimit);
    if (!f)
        return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.append(buffer, n);
    const std::string original = bytes;
    const auto osm = bytes.find("<osm");
    if (osm != std::string::npos) {
        const auto close = bytes.find('>', osm);
        for (const char* attribute : {"version=\"0.5\"", "version='0.5'"})
            if (const auto at = bytes.find(attribute, osm); at != std::string::npos && at < close)
                bytes[at + 11] = '6';
    }
    // Timestamps are metadata, never read; the old API wrote them with offsets.
    for (std::size_t at = 0; (at = bytes.find(" timestamp=", at)) != std::string::npos;) {
        const char quote = at + 11 < bytes.size() ? bytes[at + 11] : '\0';
        const auto end = quote == '"' || quote == '\'' ? bytes.find(quote, at + 12) : std::string::npos;
        if (end == std::string::npos)
            break;
        bytes.erase(at, end + 1 - at);
    }
    for (std::size_t at = 0; (at = bytes.find("<center", at)) != std::string::npos;) {
        const auto end = bytes.find("/>", at);
        if (end == std::string::npos)
            break;
        bytes.erase(at, end + 2 - at);
    }
    if (bytes == original)
        return std::nullopt;
    return bytes;
}

// Passes on what the handler has not been given yet: a second read of the
// same objects skips those the first one delivered.
class SkipFirst final : public Handler {
public:
    SkipFirst(Handler& inner, std::uint64_t skip) : inner_(inner), skip_(skip) {}
    void node(std::int64_t id, bool located, double lat, double lon, std::span<const Tag> tags) override
    {
        if (pass())
            inner_.node(id, located, lat, lon, tags);
    }
    void way(std::int64_t id, std::span<const std::int64_t> refs, std::span<const Tag> tags) override
    {
        if (pass())
            inner_.way(id, refs, tags);
    }
    void relation(std::int64_t id, std::span<const Member> members, std::span<const Tag> tags) override
    {
        if (pass())
            inner_.relation(id, members, tags);
    }
    bool wantsStop() const override { return inner_.wantsStop(); }
    std::uint64_t seen = 0;

private:
    bool pass() { return ++seen > skip_; }
    Handler& inner_;
    std::uint64_t skip_;
};

} // namespace

ReadOutcome readFile(const std::string& path, unsigned kinds, Handler& handler, const ReadProgress& progress,
                     const ReadLimits& limits)
{
    // The same checks as every other reader: a folder, a FIFO or a device is refused by name.
    std::string refusal;
    if (!openForReading(path, &refusal, std::numeric_limits<std::uintmax_t>::max())) {
        ReadOutcome outcome;
        const std::string why = !refusal.empty() ? refusal : std::strerror(errno);
        outcome.error = "Error can't open source file\n" + path + ": " + why;
        return outcome;
    }
    const osmium::io::File file = osmFile(path);
    SkipFirst counting(handler, 0);
    ReadOutcome outcome = readOsmFile(file, path, kinds, counting, progress, limits);
    if (outcome.error && file.format() == osmium::io::file_format::xml &&
        file.compression() == osmium::io::file_compression::none)
        if (const std::optional<std::string> bytes = mendedXml(path)) {
            SkipFirst rest(handler, counting.seen);
            const ReadOutcome again = readOsmFile(osmium::io::File(bytes->data(), bytes->size(), "osm"), path,
                                                  kinds, rest, {}, limits);
            if (!again.error)
                outcome = again;
        }
    return outcome;
}

ReadOutcome readBytes(std::string_view bytes, const std::string& format, unsigned kinds, Handler& handler,
                      const ReadLimits& limits)
{
    return readOsmFile(osmium::io::File(bytes.data(), bytes.size(), format), "(memory)", kinds, handler, {},
                       limits);
}

namespace {

// The bounding box of an older OSM file, whose header gives it as
// <bound box='bottom,left,top,right' origin='...'/> (a line osmium passes
// over) somewhere in its first 100 lines, packed with gzip or bzip2 or not.
std::optional<Bounds> readBoundBox(const std::string& path)
{
    constexpr std::string_view kTag = "<bound box=";
    constexpr std::size_t kHeadBytes = 64 * 1024;
    // Enough packed bytes for bzip2's first block, which comes out whole or not at all.
    constexpr std::size_t kPackedBytes = 1024 * 1024;
    FileHandle f = openForReading(path, nullptr, std::numeric_limits<std::uintmax_t>::max());
    if (!f)
        return std::nullopt;
    std::string packed(kPackedBytes, '\0');
    packed.resize(std::fread(packed.data(), 1, packed.size(), f.get()));
    std::string head;
    try {
        GuardedDecompressor unpack(packed.data(), packed.size());
        while (head.size() < kHeadBytes) {
            const std::string chunk = unpack.read();
            if (chunk.empty())
                break;
            head += chunk;
        }
    } catch (const std::exception&) {
        // A broken packing ends the head where it broke.
    }
    std::string_view text = head;
    for (int n = 0; n < 100 && !text.empty(); ++n) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, std::min<std::size_t>(end, 499));
        text.remove_prefix(std::min(end + 1, text.size()));
        const auto at = line.find(kTag);
        if (at == std::string::npos || at + kTag.size() + 1 > line.size())
            continue;
        std::string_view rest = line.substr(at + kTag.size() + 1);
        rest = rest.substr(0, std::min(rest.find('\''), rest.find_first_of("\"\r\n")));
        double sides[4] = {};
        for (double& side : sides) {
            const auto comma = rest.find(',');
            side = leadingDouble(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        return Bounds{sides[0], sides[1], sides[2], sides[3]};
    }
    return std::nullopt;
}

} // namespace

std::optional<Bounds> readBounds(const std::string& path, std::string* error)
{
    try {
        std::string refusal;
        if (!openForReading(path, &refusal, std::numeric_limits<std::uintmax_t>::max())) {
            if (error)
                *error = "Error can't open source file\n" + path + (refusal.empty() ? "" : ": " + refusal);
            return std::nullopt;
        }
        osmium::io::Reader reader(osmFile(path), osmium::osm_entity_bits::nothing);
        const osmium::Box box = reader.header().box();
        reader.close();
        if (!box.valid())
            return readBoundBox(path);
        return Bounds{box.bottom_left().lat(), box.bottom_left().lon(), box.top_right().lat(),
                      box.top_right().lon()};
    } catch (const std::exception& e) {
        // osmium reads only version 0.6 files; a 0.5 one still has its box.
        if (std::optional<Bounds> box = readBoundBox(path))
            return box;
        if (error)
            *error = "Error reading the OSM file\n" + path + ": " + e.what();
        return std::nullopt;
    }
}

} // namespace varno::osm
