// OSM to GPX: a track per way, a one-point track per tagged node of the area.
#include "convert/OsmToGpx.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include <fmt/compile.h>
#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/Text.h"
#include "convert/GpxWriter.h"
#include "osm/NodePositions.h"
#include "osm/OsmReader.h"

namespace varno::convert {
namespace {

constexpr std::size_t kNameLimit = 460;

using osm::NodePosition;

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
            nodes_.push_back(NodePosition::at(id, lat, lon));
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
            if (const NodePosition* n = osm::findNode(nodes_, ref))
                points_.push_back(*n);
        }
        if (!points_.empty())
            writeTrack(fmt::format("GPX:{}:{}", id, osmTagText(tags)));
    }

    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag> tags) override
    {
        ++objects;
        if (failed || !located || tags.empty() || !options_.area.contains(lat, lon))
            return;
        const std::string text = osmTagText(tags);
        if (text.empty())
            return;
        points_.assign(1, NodePosition::at(id, lat, lon));
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
        // One buffer for the whole track, kept between tracks: the points are
        // most of what a conversion writes.
        buffer_.clear();
        fmt::format_to(std::back_inserter(buffer_), "<trk>\n  <name>{}</name>\n<trkseg>\n", name);
        for (const NodePosition& p : points_)
            fmt::format_to(std::back_inserter(buffer_),
                           FMT_COMPILE("<trkpt lat=\"{:.6f}\" lon=\"{:.6f}\">\n  <ele>100</ele>\n<time>"
                                       "2008-00-00T01:01:07Z</time>\n</trkpt>\n"),
                           p.latDeg(), p.lonDeg());
        constexpr std::string_view kEnd = "</trkseg>\n</trk>\n";
        buffer_.append(kEnd.data(), kEnd.data() + kEnd.size());
        failed = !out_.write(std::string_view(buffer_.data(), buffer_.size()));
        ++tracks;
    }

    Sink& out_;
    const OsmGpxOptions& options_;
    const std::vector<NodePosition>& nodes_;
    std::vector<NodePosition> points_;
    fmt::memory_buffer buffer_;
};

// Nodes and ways in one read of a file that lists every node before its
// first way; a node after a way stops the read as unsorted.
class OnePass final : public osm::Handler {
public:
    OnePass(NodeCollector& nodes, TrackWriter& ways, std::function<void()> sortNodes)
        : nodes_(nodes), ways_(ways), sortNodes_(std::move(sortNodes))
    {
    }
    void node(std::int64_t id, bool located, double lat, double lon, std::span<const osm::Tag> tags) override
    {
        if (sawWay)
            unsorted = true;
        else
            nodes_.node(id, located, lat, lon, tags);
    }
    void way(std::int64_t id, std::span<const std::int64_t> refs, std::span<const osm::Tag> tags) override
    {
        if (unsorted)
            return;
        if (!sawWay) {
            sawWay = true;
            sortNodes_();
        }
        ways_.way(id, refs, tags);
    }
    bool wantsStop() const override { return unsorted; }

    bool sawWay = false;
    bool unsorted = false;

private:
    NodeCollector& nodes_;
    TrackWriter& ways_;
    std::function<void()> sortNodes_;
};

} // namespace

std::string osmTagText(std::span<const osm::Tag> tags)
{
    std::string text;
    for (const osm::Tag& tag : tags) {
        if (tag.key.substr(0, 10) == "created_by")
            continue;
        text.append(tag.key).append("-").append(tag.value).append(":");
    }
    return text;
}

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
    // Files list their nodes before their ways, so one read usually does:
    // ways are written as they come. A node after a way means an unsorted
    // file; then what was written is taken back and the file is read twice,
    // nodes first. Standard output cannot be taken back: two reads at once.
    bool onePass = out.canRestart();
    const int passes = (onePass ? 1 : 2) + (options.big && options.includePoi ? 1 : 0);
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
    std::string header = gpxHeader();
    if (options.translateUnicode)
        header.replace(0, header.find('\n'), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    header += options.big ? "<time>2008-01-01T01:01:07Z</time>\n" : "<time>2008-00-00T01:01:07Z</time>\n";

    std::vector<NodePosition> nodes;
    NodeCollector collector(options, nodes);
    // Ids are unique in a file; an id given twice keeps its first position.
    auto sortNodes = [&nodes] { osm::sortKeepingFirst(nodes); };
    std::optional<TrackWriter> writer;
    osm::ReadOutcome read;
    if (onePass) {
        if (!out.write(header))
            return Report::failed(kGpxWriteFailed);
        writer.emplace(out, options, nodes);
        OnePass both(collector, *writer, sortNodes);
        read = osm::readFile(source, osm::kNodes | osm::kWays, both, tell);
        if (both.unsorted && !read.error && !read.cancelled) {
            if (!out.restart())
                return Report::failed(kGpxWriteFailed);
            nodes.clear();
            collector.count = 0;
            writer.reset();
            onePass = false;
        } else if (!both.sawWay) {
            sortNodes();
        }
    }
    if (!onePass && !read.error && !read.cancelled) {
        read = osm::readFile(source, osm::kNodes, collector, tell);
        if (!read.error && !read.cancelled) {
            sortNodes();
            if (!out.write(header))
                return Report::failed(kGpxWriteFailed);
            writer.emplace(out, options, nodes);
            ++pass;
            read = osm::readFile(source, osm::kWays, *writer, tell);
        }
    }
    if (!read.error && !read.cancelled && options.big && options.includePoi) {
        ++pass;
        read = osm::readFile(source, osm::kNodes, *writer, tell);
    }
    if (read.error)
        return Report::failed(*read.error);
    if (read.cancelled)
        return cancelled();
    if (writer->failed || !out.write(kGpxFooter))
        return Report::failed(kGpxWriteFailed);

    Report report;
    report.linesIn = collector.count + writer->objects;
    report.linesOut = writer->tracks;
    // osmium hands over elements, not lines; with one element to a line, as
    // editors write OSM files, the nodes and ways are the lines that count.
    report.message =
        fmt::format("Input {} lines processed.\nOutput {} lines processed.\n\nThe GPX output file "
                    "has been created.",
                    report.linesIn, writer->references);
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
    Destination::Texts texts;
    texts.cantOpen = "Error: Unable to open the output gpx file.";
    texts.cantWrite = kGpxWriteFailed;
    return runSinkJob(
        job, [&](Sink& out) { return convertOsmToGpx(job.source, out, options, progress); }, texts);
}

} // namespace varno::convert
