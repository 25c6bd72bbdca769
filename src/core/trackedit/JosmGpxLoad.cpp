// GPX tracks loaded into the track editor for display: one entry per track segment.
#include <cstdio>
#include <cstring>
#include <istream>
#include <streambuf>

#include <fmt/format.h>

#include "base/InputFile.h"
#include "base/LineReader.h"
#include "gpx/GpxReader.h"
#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

constexpr const char* kEmptyName = "Empty";

// Bytes of a file handed to the GPX reader a block at a time, counting the
// lines that pass and telling the progress callback.
class CountingBuffer final : public std::streambuf {
public:
    CountingBuffer(std::FILE* f, std::uint64_t total, const LoadProgress& progress)
        : f_(f), total_(total), progress_(progress)
    {
    }
    std::uint64_t lines() const { return lineEnds_ + (done_ > 0 ? endsOpenLine(last_) : 0); }
    bool cancelled = false;
    bool failed = false;

protected:
    int_type underflow() override
    {
        if (cancelled || failed)
            return traits_type::eof();
        const std::size_t got = std::fread(block_, 1, sizeof block_, f_);
        if (got == 0) {
            failed = std::ferror(f_) != 0;
            return traits_type::eof();
        }
        lineEnds_ += countLineEnds(std::string_view(block_, got), last_);
        done_ += got;
        if (progress_ && !progress_(done_, total_))
            cancelled = true;
        setg(block_, block_, block_ + got);
        return traits_type::to_int_type(block_[0]);
    }

private:
    std::FILE* f_;
    std::uint64_t total_;
    const LoadProgress& progress_;
    char block_[1 << 16];
    std::uint64_t lineEnds_ = 0;
    std::uint64_t done_ = 0;
    char last_ = '\n';
};

constexpr std::string_view kNoLat = "point without a lat attribute";

// A point without a latitude has a message of its own; every fault names the
// file and the place in it.
std::string readError(const gpx::Error& error)
{
    if (error.message == kNoLat)
        return fmt::format("Error missing 'lat=' or \" in or before line {}.\n{}", error.line, error.text());
    return "Error reading the GPX file\n" + error.text();
}

// A segment's entry is opened at its first point and named by its track's
// name, which only the track's first segment with points takes: later ones
// are "Empty", as are segments of unnamed tracks.
class SegmentCollector final : public gpx::Visitor {
public:
    SegmentCollector(std::vector<TrackEntry>& out, const CountingBuffer* source) : out_(out), source_(source)
    {
    }

    void trackStart(const std::string& name) override { name_ = name.empty() ? kEmptyName : name; }
    void segmentStart() override { open_ = false; }
    void trackPoint(const gpx::Point& p) override
    {
        if (!open_) {
            TrackEntry e;
            e.description = name_;
            e.loaded = true;
            out_.push_back(std::move(e));
            name_ = kEmptyName;
            open_ = true;
        }
        out_.back().points.push_back({p.latDeg, p.lonDeg});
        ++points;
    }
    void segmentEnd() override { close(); }
    void trackEnd() override { close(); }
    bool wantsStop() const override { return source_ && source_->cancelled; }
    bool wantsPointDetails() const override { return false; }
    // A point without a latitude is reported and the load goes on; any other
    // fault stops it.
    bool passOverPoint(const gpx::Error& fault) override
    {
        if (fault.message != kNoLat)
            return false;
        faults.push_back(readError(fault));
        return true;
    }

    void close()
    {
        if (open_)
            out_.back().updateExtent();
        open_ = false;
    }
    std::uint64_t points = 0;
    std::vector<std::string> faults;

private:
    std::vector<TrackEntry>& out_;
    const CountingBuffer* source_;
    std::string name_ = kEmptyName;
    bool open_ = false;
};

// The points passed over, then the counts.
std::string completion(const SegmentCollector& collector, std::uint64_t lines)
{
    std::string text;
    for (const std::string& f : collector.faults)
        text += f + "\n\n";
    return text + fmt::format("Input {} lines processed.\nOutput {} lines processed.\n\nGPX load complete.",
                              lines, collector.points);
}

std::uint64_t lineCount(std::string_view bytes)
{
    char last = '\n';
    const std::uint64_t n = countLineEnds(bytes, last);
    return n + endsOpenLine(last);
}

} // namespace

LoadReport loadJosmGpx(const std::string& path, std::vector<TrackEntry>& out, const LoadProgress& progress)
{
    LoadReport r;
    if (path.empty()) {
        r.error = "Please choose a JOSM gpx track file.";
        return r;
    }
    std::string refusal;
    FileHandle f = openForReading(path, &refusal);
    if (!f) {
        r.error = "Error can't open source file\n" + nameWithRefusal(path, refusal);
        return r;
    }
    std::uint64_t total = 0;
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(f.get());
        total = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        std::rewind(f.get());
    }
    CountingBuffer buffer(f.get(), total, progress);
    std::istream in(&buffer);
    SegmentCollector collector(out, &buffer);
    const std::optional<gpx::Error> error = gpx::read(in, collector, path);
    collector.close();
    r.linesRead = buffer.lines();
    r.pointsLoaded = collector.points;
    if (buffer.cancelled) {
        r.cancelled = true;
        return r;
    }
    if (buffer.failed)
        r.error = "Error reading the GPX file\n" + path + ": read error";
    else if (error)
        r.error = readError(*error);
    else
        r.message = completion(collector, r.linesRead);
    return r;
}

LoadReport loadJosmGpxBytes(std::string_view bytes, const std::string& name, std::vector<TrackEntry>& out)
{
    LoadReport r;
    SegmentCollector collector(out, nullptr);
    const std::optional<gpx::Error> error = gpx::readBytes(bytes, collector, name);
    collector.close();
    r.linesRead = lineCount(bytes);
    r.pointsLoaded = collector.points;
    if (error)
        r.error = readError(*error);
    else
        r.message = completion(collector, r.linesRead);
    return r;
}

} // namespace varno::trackedit
