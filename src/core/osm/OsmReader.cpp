// OpenStreetMap reading through libosmium; nothing of it shows outside this file.
#include "osm/OsmReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <limits>

#include <osmium/io/any_input.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"

namespace varno::osm {
namespace {

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

ReadOutcome readOsmFile(const osmium::io::File& file, const std::string& name, unsigned kinds,
                        Handler& handler, const ReadProgress& progress)
{
    ReadOutcome outcome;
    try {
        osmium::io::Reader reader(file, entityBits(kinds), osmium::io::read_meta::no);
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

ReadOutcome readFile(const std::string& path, unsigned kinds, Handler& handler, const ReadProgress& progress)
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
    ReadOutcome outcome = readOsmFile(file, path, kinds, counting, progress);
    if (outcome.error && file.format() == osmium::io::file_format::xml &&
        file.compression() == osmium::io::file_compression::none)
        if (const std::optional<std::string> bytes = mendedXml(path)) {
            SkipFirst rest(handler, counting.seen);
            const ReadOutcome again =
                readOsmFile(osmium::io::File(bytes->data(), bytes->size(), "osm"), path, kinds, rest, {});
            if (!again.error)
                outcome = again;
        }
    return outcome;
}

ReadOutcome readBytes(std::string_view bytes, const std::string& format, unsigned kinds, Handler& handler)
{
    return readOsmFile(osmium::io::File(bytes.data(), bytes.size(), format), "(memory)", kinds, handler, {});
}

namespace {

// The bounding box of an older OSM file, whose header gives it as
// <bound box='bottom,left,top,right' origin='...'/> (a line osmium passes
// over) somewhere in its first 100 lines.
std::optional<Bounds> readBoundBox(const std::string& path)
{
    constexpr std::string_view kTag = "<bound box=";
    FileHandle f = openForReading(path, nullptr, std::numeric_limits<std::uintmax_t>::max());
    if (!f)
        return std::nullopt;
    LineReader lines(f.get());
    std::string line;
    for (int n = 0; n < 100 && lines.next(line, 499); ++n) {
        const auto at = line.find(kTag);
        if (at == std::string::npos || at + kTag.size() + 1 > line.size())
            continue;
        std::string_view rest = std::string_view(line).substr(at + kTag.size() + 1);
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
