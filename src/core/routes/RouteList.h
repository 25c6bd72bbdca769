// The loaded route: its points in file order, the cameras it silences and its title.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Prompt.h"
#include "geo/LatLon.h"
#include "geo/MapGeometry.h"

namespace varno {
class LineReader;
}

namespace varno::routes {

// Each read of a route file takes at most this many characters; a longer line
// arrives as several pieces, each handled as a line of its own.
inline constexpr std::size_t kRouteLineLimit = 299;
// The title holds at most this many characters.
inline constexpr std::size_t kTitleLimit = 79;
// Coordinates are kept as text of at most this many characters.
inline constexpr std::size_t kCoordinateTextLimit = 9;
// Point lines beyond this many are not read: a route is a list of places to
// be told about, and the guidance measures every point on every fix.
inline constexpr std::size_t kMaxRoutePoints = 100000;

// One point of the route as its line gave it. The fields each guidance step
// reads and writes come first, so that a step over a long route touches one
// cache line per point.
struct RoutePoint {
    // The texts as numbers; no position when either reads 0.
    geo::LatLon place;
    // cos of the point's latitude, for the east offset.
    double cosLat = 1.0;
    // [m] from the fix at the last guidance step that measured it; 0 after loading.
    double distance = 0.0;
    // Offsets from the fix, valid when the last guidance step measured the point.
    geo::Offset offset;
    bool measured = false;

    std::string lonText;              // the first field, at most 9 characters
    std::string latText;              // the second field, at most 9 characters
    std::optional<std::string> desc1; // third field; none when the line has no third field
    std::optional<std::string> desc2; // fourth field
};

// The pieces of one point line: nullopt when its first two non-empty fields
// are missing or either reads 0.
std::optional<RoutePoint> parsePointLine(std::string_view line);
// The same into a fresh point; false (and the point partly filled) when the line is none.
bool parsePointLine(std::string_view line, RoutePoint& p);

// The name of a camera on an exclusion line: leading and trailing ':' and
// blanks stripped.
std::string exclusionName(std::string_view line);

// Whether the raw camera line names one of the cameras by its sixth field
// (between the fifth and sixth comma, untrimmed), letter case aside.
bool excludesCamera(const std::vector<std::string>& names, std::string_view cameraLine);

// What one read of a route file found.
// Where the reader ran out of memory: making room for the list (nothing is
// read), for a point (the points before it are kept), or for a point's
// description (the reading ends with what was read before that line).
enum class OutOfMemory { None, List, Point, Description };

struct RouteText {
    std::vector<RoutePoint> points;
    std::vector<std::string> excluded;
    std::string title = "Route "; // "Route " and every comment line's text with its line end
    bool sawExclusion = false;
    bool truncated = false; // more than kMaxRoutePoints point lines
    OutOfMemory outOfMemory = OutOfMemory::None;
    int exclusionsLost = 0;          // exclusion lines whose name could not be kept
    std::uint64_t overlongLines = 0; // lines longer than the limit, their rest dropped
};

// Tests: called where the reader allocates, so that one allocation can be
// made to fail (by throwing std::bad_alloc). Null otherwise.
enum class RouteAllocation { List, Point, Description, Exclusion };
extern void (*routeAllocationProbe)(RouteAllocation);

inline constexpr const char* kRouteOutOfMemoryMessage = "Out of memory making the Route list";
inline constexpr const char* kRouteIncompleteMessage =
    "Out of memory making the Route list.\nThe Route list will be incomplete.";
inline constexpr const char* kExcludeOutOfMemoryMessage = "Out of memory creating route exclude list";
// sizeHint: the file's size in bytes, if known, to make room for its points at once.
RouteText readRouteText(LineReader& reader, std::uintmax_t sizeHint = 0);

// The route name of a file (its first comment line with text), "No route name"
// when it has none and "No file" when it cannot be opened; an empty path gives
// nullopt (the caller keeps what it shows).
std::optional<std::string> readRouteName(const std::string& path, std::size_t limit);

// The pick list's entry for a file: the text of its last comment line, else
// the path; "No file" when it cannot be opened; empty for an empty path.
std::string pickEntryText(const std::string& path);

// The "Route points list" distance of a point from the fix: "%.3f km" by a
// flat approximation without the cosine of the latitude; empty when either
// position has a zero coordinate.
std::string pointsListDistance(const RoutePoint& point, geo::LatLon fix);

// The route as loaded and the cameras it excludes.
class RouteList {
public:
    struct LoadResult {
        bool opened = false;       // the file was opened and read to its end
        bool sawExclusion = false; // it had at least one exclusion line
        // The reading ran out of memory (the message is shown; the points read
        // before stay): GPS reading stops.
        bool outOfMemory = false;
    };

    // Replaces the route with the named file's (path as the program uses it,
    // already mapped to this machine). An empty name leaves an empty route; a
    // file that cannot be opened shows "Error can't open the route file\n" and
    // the name, leaves an empty route and keeps the previous exclusions.
    LoadResult load(const std::string& path, Prompt& prompt);
    // The route of a read that has been made already.
    void assign(RouteText text);
    // Frees the points: as before the first load.
    void clear();

    // False before the first load.
    bool loaded() const { return loaded_; }
    const std::vector<RoutePoint>& points() const { return points_; }
    std::vector<RoutePoint>& points() { return points_; }
    const std::vector<std::string>& excluded() const { return excluded_; }
    const std::string& title() const { return title_; }
    // Whether the camera of this raw camera file line is one the route excludes.
    bool excludes(std::string_view cameraLine) const { return excludesCamera(excluded_, cameraLine); }

private:
    bool loaded_ = false;
    std::vector<RoutePoint> points_;
    std::vector<std::string> excluded_;
    std::string title_ = "Route ";
};

} // namespace varno::routes
