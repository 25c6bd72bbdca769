// The route file reader and the route list.
#include "routes/RouteList.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

#include <fmt/format.h>

#include "base/AsciiCase.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"

namespace varno::routes {
namespace {

// A piece as the program sees it: text up to the first NUL byte, and a CR
// before the line end dropped as a text-mode read drops it.
std::string_view asTextLine(const std::string& piece)
{
    std::string_view line(piece);
    if (const auto nul = line.find('\0'); nul != std::string_view::npos)
        line = line.substr(0, nul);
    return line;
}

// The non-empty comma-separated tokens, as many as asked for.
std::size_t firstTokens(std::string_view line, std::string_view* out, std::size_t want)
{
    std::size_t n = 0;
    std::size_t i = 0;
    while (n < want && i < line.size()) {
        while (i < line.size() && line[i] == ',')
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ',')
            ++i;
        if (i > start)
            out[n++] = line.substr(start, i - start);
    }
    return n;
}

// The first four fields of a point line: each ends at a comma outside double
// quotes; the quotes stay in the text. The last field ends at the line's end.
std::size_t pointFields(std::string_view line, std::array<std::string_view, 4>& fields)
{
    std::size_t n = 0;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= line.size() && n < fields.size(); ++i) {
        if (i == line.size() || (line[i] == ',' && !quoted)) {
            fields[n++] = line.substr(start, i - start);
            start = i + 1;
        } else if (line[i] == '"')
            quoted = !quoted;
    }
    return n;
}

void appendLimited(std::string& to, std::string_view text, std::size_t limit)
{
    if (to.size() < limit)
        to.append(text.substr(0, limit - to.size()));
}

// The comment text after ';' with its line end, CR LF and CR read as LF.
std::string commentText(std::string_view line)
{
    std::string text(stripLineEnd(line.substr(1), 2));
    if (endsLine(line))
        text += '\n';
    return text;
}

} // namespace

bool parsePointLine(std::string_view line, RoutePoint& p)
{
    line = stripLineEnd(line);
    std::string_view tokens[2];
    if (firstTokens(line, tokens, 2) < 2)
        return false;
    const double lon = leadingDouble(tokens[0]), lat = leadingDouble(tokens[1]);
    if (lon == 0.0 || lat == 0.0 || !geo::onEarth(lat, lon))
        return false;
    std::array<std::string_view, 4> f;
    const std::size_t n = pointFields(line, f);
    p.lonText.assign(f[0].substr(0, kCoordinateTextLimit));
    if (n > 1)
        p.latText.assign(f[1].substr(0, kCoordinateTextLimit));
    if (n > 2)
        p.desc1.emplace(f[2]);
    if (n > 3)
        p.desc2.emplace(f[3]);
    // The place is read from the texts as kept; most lines hold them as their
    // first two tokens, already read.
    const auto sameText = [](std::string_view token, const std::string& text) {
        return token.size() == text.size() && token == text;
    };
    const double placeLat = sameText(tokens[1], p.latText) ? lat : leadingDouble(p.latText);
    const double placeLon = sameText(tokens[0], p.lonText) ? lon : leadingDouble(p.lonText);
    if (!geo::onEarth(placeLat, placeLon))
        return false; // "1,,nan,2": the kept texts are what is measured
    p.place = geo::LatLon::ofPlace(placeLat, placeLon);
    p.cosLat = std::cos(p.place.latDeg() * geo::kDegToRad);
    return true;
}

std::optional<RoutePoint> parsePointLine(std::string_view line)
{
    RoutePoint p;
    if (!parsePointLine(line, p))
        return std::nullopt;
    return p;
}

std::string exclusionName(std::string_view line)
{
    line = stripLineEnd(line);
    const auto strip = [](char c) { return c == ':' || c == ' '; };
    while (!line.empty() && strip(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && strip(line.back()))
        line.remove_suffix(1);
    return std::string(line);
}

bool excludesCamera(const std::vector<std::string>& names, std::string_view cameraLine)
{
    if (names.empty())
        return false;
    std::size_t start = 0;
    for (int comma = 0; comma < 5; ++comma) {
        const std::size_t at = cameraLine.find(',', start);
        if (at == std::string_view::npos)
            return false;
        start = at + 1;
    }
    const std::size_t end = cameraLine.find(',', start);
    if (end == std::string_view::npos)
        return false;
    const std::string_view sixth = cameraLine.substr(start, end - start);
    for (const std::string& name : names)
        if (equalsNoCase(sixth, name))
            return true;
    return false;
}

void (*routeAllocationProbe)(RouteAllocation) = nullptr;

namespace {
void probe(RouteAllocation at)
{
    if (routeAllocationProbe)
        routeAllocationProbe(at);
}
} // namespace

RouteText readRouteText(LineReader& reader, std::uintmax_t sizeHint)
{
    RouteText r;
    try {
        probe(RouteAllocation::List);
        // A point line is rarely shorter than 20 bytes.
        r.points.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(sizeHint / 20, kMaxRoutePoints)));
    } catch (const std::bad_alloc&) {
        r.outOfMemory = OutOfMemory::List;
        return r;
    }
    std::string piece;
    while (reader.nextLine(piece, kRouteLineLimit)) {
        const std::string_view line = asTextLine(piece);
        if (line.empty())
            continue;
        if (line[0] == ';') {
            appendLimited(r.title, commentText(line), kTitleLimit);
        } else if (line[0] == ':') {
            // A line of nothing but ':' and blanks names no camera; kept, it
            // would silence every camera whose name field is empty.
            try {
                if (std::string name = exclusionName(line); !name.empty()) {
                    probe(RouteAllocation::Exclusion);
                    r.excluded.push_back(std::move(name));
                }
            } catch (const std::bad_alloc&) {
                ++r.exclusionsLost; // that name only; the reading goes on
            }
            r.sawExclusion = true;
        } else if (r.points.size() == kMaxRoutePoints) {
            RoutePoint beyond;
            r.truncated = r.truncated || parsePointLine(line, beyond);
        } else {
            try {
                probe(RouteAllocation::Point);
                RoutePoint& p = r.points.emplace_back();
                try {
                    probe(RouteAllocation::Description);
                    // Filled in place: a line that is no point leaves nothing.
                    if (!parsePointLine(line, p))
                        r.points.pop_back();
                } catch (const std::bad_alloc&) {
                    r.points.pop_back();
                    r.outOfMemory = OutOfMemory::Description;
                    break;
                }
            } catch (const std::bad_alloc&) {
                r.outOfMemory = OutOfMemory::Point;
                break;
            }
        }
    }
    r.overlongLines = reader.overlongLines();
    return r;
}

namespace {

// The text of the first (or last) comment line that has text after ';'.
std::optional<std::string> commentName(std::FILE* f, bool last)
{
    LineReader reader(f);
    std::string piece;
    std::optional<std::string> found;
    while (reader.nextLine(piece, kRouteLineLimit)) {
        std::string_view line = stripLineEnd(asTextLine(piece));
        if (line.size() < 2 || line[0] != ';')
            continue;
        found = std::string(line.substr(1));
        if (!last)
            break;
    }
    return found;
}

} // namespace

std::optional<std::string> readRouteName(const std::string& path, std::size_t limit)
{
    if (path.empty())
        return std::nullopt;
    const FileHandle f = openForReading(path);
    if (!f)
        return std::string("No file");
    std::string name = commentName(f.get(), false).value_or("No route name");
    if (name.size() > limit)
        name.resize(limit);
    return name;
}

std::string pickEntryText(const std::string& path)
{
    if (path.empty())
        return {};
    const FileHandle f = openForReading(path);
    if (!f)
        return "No file";
    std::string text = commentName(f.get(), true).value_or(path);
    if (text.size() > 255)
        text.resize(255);
    return text;
}

std::string pointsListDistance(const RoutePoint& point, geo::LatLon fix)
{
    const double lat = leadingDouble(point.latText), lon = leadingDouble(point.lonText);
    if (lat == 0.0 || lon == 0.0 || fix.latDeg() == 0.0 || fix.lonDeg() == 0.0)
        return {};
    const double north = (lat - fix.latDeg()) * 110945.90800966838;
    const double east = (lon - fix.lonDeg()) * 111319.14001027387;
    return fmt::format("{:.3f} km", std::sqrt(north * north + east * east) / 1000.0);
}

RouteList::LoadResult RouteList::load(const std::string& path, Prompt& prompt)
{
    title_ = "Route ";
    points_.clear();
    loaded_ = true;
    if (path.empty())
        return {};
    std::string refusal;
    const FileHandle f = openForReading(path, &refusal);
    if (!f) {
        prompt.message("Error can't open the route file\n" + nameWithRefusal(path, refusal));
        return {};
    }
    LineReader reader(f.get());
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(path, ec);
    RouteText text = readRouteText(reader, ec ? 0 : bytes);
    const bool truncated = text.truncated, sawExclusion = text.sawExclusion;
    const std::uint64_t overlong = text.overlongLines;
    const OutOfMemory outOfMemory = text.outOfMemory;
    if (outOfMemory == OutOfMemory::List) {
        // No room for the list at all: nothing read, the exclusions as they were.
        prompt.message(kRouteOutOfMemoryMessage);
        return {.outOfMemory = true};
    }
    for (int i = 0; i < text.exclusionsLost; ++i)
        prompt.message(kExcludeOutOfMemoryMessage);
    assign(std::move(text));
    switch (outOfMemory) {
    case OutOfMemory::None:
    case OutOfMemory::List:
        break;
    case OutOfMemory::Description:
        prompt.message(kRouteOutOfMemoryMessage);
        break;
    case OutOfMemory::Point:
        prompt.message(kRouteIncompleteMessage);
        break;
    }
    if (overlong > 0)
        prompt.message("The route file " + path + "\n" + overlongLinesText(overlong));
    if (truncated)
        prompt.message("The route file " + path + " has more than " + std::to_string(kMaxRoutePoints) +
                       " points.\nOnly the first " + std::to_string(kMaxRoutePoints) + " are used.");
    // A load that ran out of memory ends there, with what it read.
    if (outOfMemory != OutOfMemory::None)
        return {.outOfMemory = true};
    return {.opened = true, .sawExclusion = sawExclusion};
}

void RouteList::assign(RouteText text)
{
    loaded_ = true;
    points_ = std::move(text.points);
    excluded_ = std::move(text.excluded);
    title_ = std::move(text.title);
}

void RouteList::clear()
{
    points_.clear();
    points_.shrink_to_fit();
    loaded_ = false;
}

} // namespace varno::routes
