// OSM to GPX: a track per way, a one-point track per tagged node of the area.
#include "convert/OsmToGpx.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <cstdint>
#include <filesystem>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/Text.h"
#include "convert/GpxWriter.h"
#include "osm/OsmReader.h"

namespace varno::convert {
namespace {

constexpr std::size_t kNameLimit = 460;
constexpr char kPointTime[] = "2008-00-00T01:01:07Z";

// Positions kept in the OSM unit of 1e-7 degrees: 16 bytes a node.
struct NodePosition {
    std::int64_t id;
    std::int32_t lat;
    std::int32_t lon;
    bool operator<(const NodePosition& o) const { return id < o.id; }
};

std::int32_t fixed(double degrees)
{
    return static_cast<std::int32_t>(std::lround(degrees * 1e7));
}

std::string tagText(std::span<const osm::Tag> tags)
{
    std::string text;
    for (const osm::Tag& tag : tags) {
        if (tag.key.substr(0, 10) == "created_by")
            continue;
        text.append(tag.key).append("-").append(tag.value).append(":");
    }
    return text;
}

std::string translated(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if (b == 0xC3 && next >= 0x80 && next <= 0xBF) {
            out += static_cast<char>(next + 0x40);
            ++i;
        } else {
            out += name[i];
        }
    }
    return out;
}

// Text for an ISO-8859-1 document: markup escaped, bytes kept as they are.
std::string latin1Escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

class NodeCollector final : public osm::Handler {
public:
    NodeCollector(const OsmGpxOptions& options, std::vector<NodePosition>& nodes)
        : options_(options), nodes_(nodes)
    {
    }
    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag>) override
    {
        ++count;
        if (located && (!options_.big || options_.area.contains(lat, lon)))
            nodes_.push_back({id, fixed(lat), fixed(lon)});
    }
    std::uint64_t count = 0;

private:
    const OsmGpxOptions& options_;
    std::vector<NodePosition>& nodes_;
};

class TrackWriter : public osm::Handler {
public:
    TrackWriter(Sink& out, const OsmGpxOptions& options, const std::vector<NodePosition>& nodes)
        : out_(out), options_(options), nodes_(nodes)
    {
    }

    void way(std::int64_t id, std::span<const std::int64_t> refs, std::span<const osm::Tag> tags) override
    {
        ++objects;
        if (failed)
            return;
        points_.clear();
        for (const std::int64_t ref : refs) {
            ++references;
            const auto it = std::lower_bound(nodes_.begin(), nodes_.end(), NodePosition{ref, 0, 0});
            if (it != nodes_.end() && it->id == ref)
                points_.push_back(*it);
        }
        if (!points_.empty())
            writeTrack(fmt::format("GPX:{}:{}", id, tagText(tags)));
    }

    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag> tags) override
    {
        ++objects;
        if (failed || !located || tags.empty() || !options_.area.contains(lat, lon))
            return;
        const std::string text = tagText(tags);
        if (text.empty())
            return;
        points_.assign(1, {id, fixed(lat), fixed(lon)});
        writeTrack(fmt::format("Node:{}:{}", id, text));
    }

    std::uint64_t objects = 0;
    std::uint64_t references = 0;
    std::uint64_t tracks = 0;
    bool failed = false;

private:
    void writeTrack(const std::string& description)
    {
        for (const std::string& excluded : options_.exclusions)
            if (!excluded.empty() && description.find(excluded) != std::string::npos)
                return;
        const std::string_view cut = cutText(description, kNameLimit);
        const std::string name = options_.translateUnicode ? latin1Escaped(translated(cut)) : xmlEscaped(cut);
        std::string text = "<trk>\n  <name>" + name + "</name>\n<trkseg>\n";
        for (const NodePosition& p : points_)
            text += fmt::format(
                "<trkpt lat=\"{:.6f}\" lon=\"{:.6f}\">\n  <ele>100</ele>\n<time>{}</time>\n</trkpt>\n",
                p.lat / 1e7, p.lon / 1e7, kPointTime);
        text += "</trkseg>\n</trk>\n";
        failed = !out_.write(text);
        ++tracks;
    }

    Sink& out_;
    const OsmGpxOptions& options_;
    const std::vector<NodePosition>& nodes_;
    std::vector<NodePosition> points_;
};

} // namespace

std::vector<std::string> osmExclusionsAtOpen()
{
    std::vector<std::string> out;
    for (const std::string_view e : kOsmExclusions)
        if (e != "footway" && e != "parking" && e != "post_box" && e != "type-sos" && e != "waterway")
            out.emplace_back(e);
    return out;
}

std::vector<std::string> osmExclusionsDefault()
{
    std::vector<std::string> out;
    for (const std::string_view e : kOsmExclusions)
        if (e != "footway" && e != "parking" && e != "post_box" && e != "waterway")
            out.emplace_back(e);
    return out;
}

Report convertOsmToGpx(const std::string& source, Sink& out, const OsmGpxOptions& options, Progress& progress)
{
    const int passes = options.big && options.includePoi ? 3 : 2;
    int pass = 0;
    const osm::ReadProgress tell = [&](std::uint64_t done, std::uint64_t total) {
        return progress.update(pass * total + done, passes * total);
    };
    auto cancelled = [] {
        Report r;
        r.status = Report::Status::Cancelled;
        r.message = kCancelled;
        return r;
    };

    std::vector<NodePosition> nodes;
    NodeCollector collector(options, nodes);
    osm::ReadOutcome read = osm::readFile(source, osm::kNodes, collector, tell);
    if (read.error)
        return Report::failed(*read.error);
    if (read.cancelled)
        return cancelled();
    // Ids are unique in a file; an id given twice keeps its first position.
    std::stable_sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end(), [](auto& a, auto& b) { return a.id == b.id; }),
                nodes.end());

    std::string header = gpxHeader();
    if (options.translateUnicode)
        header.replace(0, header.find('\n'), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    header += options.big ? "<time>2008-01-01T01:01:07Z</time>\n" : "<time>2008-00-00T01:01:07Z</time>\n";
    if (!out.write(header))
        return Report::failed(kWriteFailed);

    TrackWriter writer(out, options, nodes);
    ++pass;
    read = osm::readFile(source, osm::kWays, writer, tell);
    if (!read.error && !read.cancelled && options.big && options.includePoi) {
        ++pass;
        read = osm::readFile(source, osm::kNodes, writer, tell);
    }
    if (read.error)
        return Report::failed(*read.error);
    if (read.cancelled)
        return cancelled();
    if (writer.failed || !out.write(kGpxFooter))
        return Report::failed(kWriteFailed);

    Report report;
    report.linesIn = collector.count + writer.objects;
    report.linesOut = writer.tracks;
    report.message =
        fmt::format("Input {} nodes and ways read.\nOutput {} lines processed.\n\nThe GPX output file "
                    "has been created.",
                    report.linesIn, writer.references);
    return report;
}

Report convertOsmFile(const FileJob& job, const OsmGpxOptions& options, Progress& progress)
{
    if (job.source.empty())
        return Report::failed(options.big ? "Please select an OSM source file."
                                          : "Please choose a osm file.");
    if (job.destination.empty())
        return Report::failed(options.big ? "The destination file name is empty."
                                          : "Please select an output GPX track file.");
    if (job.source == "-")
        return Report::failed("An OSM file is read more than once: it cannot come from standard input.");
    std::error_code ec;
    if (job.destination != "-" && std::filesystem::equivalent(job.source, job.destination, ec))
        return Report::failed("The source and destination file names can not be the same.\n" + job.source);
    AtomicFileWriter writer;
    Report failure;
    if (!openDestination(job, writer, failure))
        return failure;
    AtomicSink fileSink(writer);
    StdioSink outSink(stdout);
    Sink& sink = writer.isOpen() ? static_cast<Sink&>(fileSink) : outSink;
    return finishDestination(writer, job.destination, convertOsmToGpx(job.source, sink, options, progress));
}

} // namespace varno::convert
