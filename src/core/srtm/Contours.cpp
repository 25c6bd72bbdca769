// Contours of a height tile: the tracer of the SRTM dialog, and marching-squares isolines.
#include "srtm/Contours.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <unordered_map>

#include <fmt/compile.h>
#include <fmt/format.h>

#include "convert/GpxWriter.h"

namespace varno::srtm {
namespace {

constexpr std::int16_t kErased = -256;
constexpr std::int16_t kUsed = -300;
constexpr char kDocumentTime[] = "<time>2008-00-00T01:01:07Z</time>\n";

// Neighbours in the order the tracer tries them.
constexpr std::array<std::array<int, 2>, 8> kNeighbours = {
    {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}}};

Report cancelledReport()
{
    Report r;
    r.status = Report::Status::Cancelled;
    r.message = kCancelled;
    return r;
}

std::string bareNumber(long value)
{
    return value == 0 ? std::string() : std::to_string(value);
}

class Tracer {
public:
    Tracer(const HgtTile& tile, convert::Sink& out)
        : tile_(tile), grid_(tile.samples), out_(out), n_(tile.size)
    {
    }

    std::int16_t& cell(int r, int c) { return grid_[static_cast<std::size_t>(r) * n_ + c]; }

    long erase(int level, int inner, int erase)
    {
        long count = 0;
        for (int r = 0; r < n_; ++r)
            for (int c = 0; c < n_; ++c) {
                const int s = cell(r, c);
                if (!(level - inner < s && s < level + inner))
                    continue;
                bool flat = true;
                for (const auto& [dr, dc] : kNeighbours) {
                    const int nr = r + dr, nc = c + dc;
                    if (nr < 0 || nc < 0 || nr >= n_ || nc >= n_)
                        continue;
                    const int v = cell(nr, nc);
                    if (v != kErased && std::abs(v - level) > erase) {
                        flat = false;
                        break;
                    }
                }
                if (flat) {
                    cell(r, c) = kErased;
                    ++count;
                }
            }
        return count;
    }

    bool trace(int level, int range, int startRow, int startColumn)
    {
        std::deque<std::pair<int, int>> stack;
        int r = startRow, c = startColumn;
        bool resuming = false, opened = false;
        for (;;) {
            if (!resuming) {
                const int s = cell(r, c);
                if (!(level - range < s && s < level + range))
                    break;
                if (stack.size() == 4)
                    stack.pop_front();
                stack.emplace_back(r, c);
            }
            cell(r, c) = kUsed;
            int best = 3000, bestRow = -1, bestColumn = -1;
            for (const auto& [dr, dc] : kNeighbours) {
                const int nr = r + dr, nc = c + dc;
                if (nr < 0 || nc < 0 || nr >= n_ || nc >= n_)
                    continue;
                const int v = cell(nr, nc);
                // A used cell is never entered again: near the marker's own
                // height two used cells would otherwise pass the trace between
                // them for ever.
                if (v == kUsed)
                    continue;
                const int diff = std::abs(v - level);
                if (diff < range && diff < best) {
                    best = diff;
                    bestRow = nr;
                    bestColumn = nc;
                }
            }
            if (bestRow < 0) {
                if (stack.empty())
                    break;
                std::tie(r, c) = stack.back();
                stack.pop_back();
                resuming = true;
                continue;
            }
            if (!opened) {
                opened = true;
                ++tracks;
                if (!out_.write(fmt::format("<trk>\n<name>GPX{}-{}</name>\n<trkseg>\n", bareNumber(level),
                                            bareNumber(tracks))) ||
                    !point(r, c, level))
                    return false;
            }
            if (!point(bestRow, bestColumn, level))
                return false;
            r = bestRow;
            c = bestColumn;
            resuming = false;
        }
        return !opened || out_.write("</trkseg>\n</trk>\n");
    }

    long tracks = 0;

private:
    bool point(int r, int c, int level)
    {
        const double last = n_ - 1;
        return out_.write(fmt::format("<trkpt lat=\"{:.6f}\" lon=\"{:.6f}\">\n  <ele>{}</ele>\n"
                                      "<time>2008-01-01T01:00:00Z</time>\n</trkpt>\n",
                                      tile_.originLat + (last - r) / last, tile_.originLon + c / last,
                                      level));
    }

    const HgtTile& tile_;
    std::vector<std::int16_t> grid_;
    convert::Sink& out_;
    int n_;
};

} // namespace

Report traceContours(const HgtTile& tile, convert::Sink& out, const TracerOptions& options,
                     Progress& progress)
{
    int minimum = 30000, maximum = -30000;
    for (const std::int16_t s : tile.samples) {
        if (s > 32000)
            continue;
        if (s < minimum && s > -200)
            minimum = s;
        if (s > maximum)
            maximum = s;
    }
    const int step = options.step < 1 ? 20 : options.step;
    const int first = static_cast<int>(std::floor(static_cast<double>(minimum) / step)) * step;
    const int end = static_cast<int>(std::floor(static_cast<double>(maximum) / step)) * step;
    const std::uint64_t levels = end > first ? static_cast<std::uint64_t>((end - first) / step) : 0;

    if (!out.write(convert::gpxHeader()) || !out.write(kDocumentTime))
        return Report::failed("Error: Unable to write to the file.");
    Tracer tracer(tile, out);
    Report report;
    if (options.eraseRange >= 1) {
        const int inner = std::max(options.contourRange - 1, 0);
        long erased = 0;
        for (int h = first; h < end; h += step) {
            if (!progress.updateNow(static_cast<std::uint64_t>((h - first) / step), 2 * levels))
                return cancelledReport();
            erased += tracer.erase(h, inner, options.eraseRange);
        }
        report.notes = fmt::format("Step 1 of 2.\n\nErasedCount {}", erased);
    }
    const int range = options.contourRange < 0 ? 5 : options.contourRange;
    for (int h = first; h < end; h += step) {
        if (!progress.updateNow(levels + static_cast<std::uint64_t>((h - first) / step), 2 * levels))
            return cancelledReport();
        for (int r = 0; r < tile.size; ++r)
            for (int c = 0; c < tile.size; ++c)
                if (!tracer.trace(h, range, r, c))
                    return Report::failed("Error: Unable to write to the file.");
    }
    if (!out.write(convert::kGpxFooter))
        return Report::failed("Error: Unable to write to the file.");
    report.linesOut = static_cast<std::uint64_t>(tracer.tracks);
    report.message =
        fmt::format("Step 2 of 2.\n\nWrote {} track segments.\n\nContour extraction is complete.",
                    tracer.tracks); // "0", not the empty text of "%.ld"
    return report;
}

namespace {

// Edges of the sample grid: horizontal (r, c)-(r, c+1) and vertical (r, c)-(r+1, c).
std::uint64_t edgeId(int r, int c, bool vertical, int n)
{
    return (static_cast<std::uint64_t>(r) * n + c) << 1 | (vertical ? 1 : 0);
}

struct Segment {
    std::uint64_t a, b;
};

class Isolines {
public:
    Isolines(const HgtTile& tile, convert::Sink& out) : tile_(tile), out_(out), n_(tile.size) {}

    // One pass over the cells: each cell's segments go to the levels that cross it.
    void collect(int first, int step, int count)
    {
        perLevel_.assign(static_cast<std::size_t>(count), {});
        const int n = n_;
        for (int r = 0; r + 1 < n; ++r)
            for (int c = 0; c + 1 < n; ++c) {
                const int tl = tile_.at(r, c), tr = tile_.at(r, c + 1), br = tile_.at(r + 1, c + 1),
                          bl = tile_.at(r + 1, c);
                if (tl == kVoid || tr == kVoid || br == kVoid || bl == kVoid)
                    continue;
                const int lo = std::min(std::min(tl, tr), std::min(br, bl));
                const int hi = std::max(std::max(tl, tr), std::max(br, bl));
                // Levels L with lo < L <= hi have corners on both sides.
                const int fromK = std::max(0, floorDiv(lo - first, step) + 1);
                const int toK = std::min(count - 1, floorDiv(hi - first, step));
                for (int k = fromK; k <= toK; ++k)
                    cell(r, c, tl, tr, br, bl, first + k * step, perLevel_[static_cast<std::size_t>(k)]);
            }
    }

    // The lines of level number k (height level); false when the sink failed.
    bool level(int k, int level)
    {
        segments_ = std::move(perLevel_[static_cast<std::size_t>(k)]);
        ends_.clear();
        ends_.reserve(segments_.size() * 2);
        for (std::uint32_t s = 0; s < segments_.size(); ++s)
            for (const std::uint64_t e : {segments_[s].a, segments_[s].b}) {
                auto [it, added] = ends_.try_emplace(e, std::array<std::uint32_t, 2>{s, kNone});
                if (!added)
                    it->second[1] = s;
            }
        used_.assign(segments_.size(), false);
        for (std::size_t s = 0; s < segments_.size(); ++s)
            if (!used_[s] && !chain(s, level))
                return false;
        return true;
    }

    std::uint64_t lines = 0;
    std::uint64_t points = 0;

private:
    static int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
    static void add(std::vector<Segment>& out, std::uint64_t a, std::uint64_t b) { out.push_back({a, b}); }

    // The segments of one cell at one level (saddles split by the centre's average).
    void cell(int r, int c, int tl, int tr, int br, int bl, int level, std::vector<Segment>& out) const
    {
        const int n = n_;
        const int index = (tl >= level) << 3 | (tr >= level) << 2 | (br >= level) << 1 | (bl >= level);
        const std::uint64_t top = edgeId(r, c, false, n), bottom = edgeId(r + 1, c, false, n);
        const std::uint64_t left = edgeId(r, c, true, n), right = edgeId(r, c + 1, true, n);
        const bool centreAbove = (tl + tr + br + bl) >= 4 * level;
        switch (index) {
        case 1:
        case 14:
            add(out, left, bottom);
            break;
        case 2:
        case 13:
            add(out, bottom, right);
            break;
        case 3:
        case 12:
            add(out, left, right);
            break;
        case 4:
        case 11:
            add(out, top, right);
            break;
        case 6:
        case 9:
            add(out, top, bottom);
            break;
        case 7:
        case 8:
            add(out, top, left);
            break;
        case 5: // tr and bl above
            if (centreAbove) {
                add(out, top, left);
                add(out, bottom, right);
            } else {
                add(out, top, right);
                add(out, left, bottom);
            }
            break;
        case 10: // tl and br above
            if (centreAbove) {
                add(out, top, right);
                add(out, left, bottom);
            } else {
                add(out, top, left);
                add(out, bottom, right);
            }
            break;
        default:
            break;
        }
    }

    // The other segment at edge e than s, or kNone.
    std::uint32_t across(std::uint64_t e, std::uint32_t s) const
    {
        const auto& pair = ends_.at(e);
        return pair[0] == s ? pair[1] : pair[0];
    }

    // Walks from segment s out through its edge `from`, appending edges.
    void walk(std::uint32_t s, std::uint64_t from, std::vector<std::uint64_t>& edges)
    {
        std::uint64_t e = from;
        for (std::uint32_t next = across(e, s); next != kNone && !used_[next]; next = across(e, s)) {
            used_[next] = true;
            s = next;
            e = segments_[s].a == e ? segments_[s].b : segments_[s].a;
            edges.push_back(e);
        }
    }

    bool chain(std::size_t start, int level)
    {
        used_[start] = true;
        const auto s = static_cast<std::uint32_t>(start);
        std::vector<std::uint64_t> forward{segments_[s].a, segments_[s].b}, backward;
        walk(s, segments_[s].b, forward);
        walk(s, segments_[s].a, backward);
        std::reverse(backward.begin(), backward.end());
        backward.insert(backward.end(), forward.begin(), forward.end());
        ++lines;
        buffer_.clear();
        fmt::format_to(std::back_inserter(buffer_), "<trk>\n  <name>Contour {} m</name>\n<trkseg>\n", level);
        for (const std::uint64_t e : backward) {
            const auto [lat, lon] = position(e, level);
            fmt::format_to(std::back_inserter(buffer_),
                           FMT_COMPILE("<trkpt lat=\"{:.6f}\" lon=\"{:.6f}\">\n  <ele>{}</ele>\n</trkpt>\n"),
                           lat, lon, level);
            ++points;
        }
        constexpr std::string_view kEnd = "</trkseg>\n</trk>\n";
        buffer_.append(kEnd.data(), kEnd.data() + kEnd.size());
        return out_.write(std::string_view(buffer_.data(), buffer_.size()));
    }

    std::pair<double, double> position(std::uint64_t e, int level) const
    {
        const bool vertical = e & 1;
        const auto cellIndex = e >> 1;
        const int r = static_cast<int>(cellIndex / n_), c = static_cast<int>(cellIndex % n_);
        const double v0 = tile_.at(r, c);
        const double v1 = vertical ? tile_.at(r + 1, c) : tile_.at(r, c + 1);
        const double t = v1 == v0 ? 0.5 : (level - v0) / (v1 - v0);
        const double row = vertical ? r + t : r, column = vertical ? c : c + t;
        const double last = n_ - 1;
        return {tile_.originLat + (last - row) / last, tile_.originLon + column / last};
    }

    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    const HgtTile& tile_;
    convert::Sink& out_;
    int n_;
    std::vector<Segment> segments_;
    std::vector<std::vector<Segment>> perLevel_;
    std::unordered_map<std::uint64_t, std::array<std::uint32_t, 2>> ends_;
    std::vector<bool> used_;
    fmt::memory_buffer buffer_;
};

} // namespace

Report isolines(const HgtTile& tile, convert::Sink& out, int step, Progress& progress)
{
    if (step < 1)
        step = 20;
    int minimum = 32767, maximum = -32767;
    for (const std::int16_t s : tile.samples)
        if (s != kVoid) {
            minimum = std::min<int>(minimum, s);
            maximum = std::max<int>(maximum, s);
        }
    if (!out.write(convert::gpxHeader()))
        return Report::failed("Error: Unable to write to the file.");
    Isolines lines(tile, out);
    if (minimum <= maximum) {
        const int first = static_cast<int>(std::ceil(static_cast<double>(minimum) / step)) * step;
        const int levels = (maximum - first) / step + 1;
        lines.collect(first, step, levels);
        for (int k = 0; k < levels; ++k) {
            if (!progress.updateNow(static_cast<std::uint64_t>(k), static_cast<std::uint64_t>(levels)))
                return cancelledReport();
            if (!lines.level(k, first + k * step))
                return Report::failed("Error: Unable to write to the file.");
        }
    }
    if (!out.write(convert::kGpxFooter))
        return Report::failed("Error: Unable to write to the file.");
    Report report;
    report.linesOut = lines.lines;
    report.message = fmt::format("Wrote {} contour lines of {} points.", lines.lines, lines.points);
    return report;
}

} // namespace varno::srtm
