// Streaming GPX reader: waypoints, routes and tracks of GPX 1.0 and 1.1 files.
//
// The document is parsed with expat as it is read, a block at a time, and
// handed out point by point, so memory stays bounded by the largest single
// element, never by the size of the file. Elements of other namespaces and
// everything inside <extensions> are passed over. A point without a usable
// "lat" or "lon" attribute is an error, unless the visitor passes over it:
// the reader would otherwise invent a position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace varno::gpx {

// One wpt, rtept or trkpt.
struct Point {
    double latDeg = 0.0;
    double lonDeg = 0.0;
    std::optional<double> eleMetres; // <ele>, when present and a number
    std::string time;                // <time> text as written, empty when absent
    std::string name;                // <name>, empty when absent
    std::string desc;                // <desc>, empty when absent
    std::string latText, lonText;    // the lat and lon attributes as written
};

struct Error {
    std::string file;       // the name the reader was given
    std::uint64_t line = 0; // 1-based; 0 when the file could not be opened
    std::uint64_t column = 0;
    std::string message;
    bool stopped = false; // the visitor asked to stop
    // "file:line:column: message", or "file: message" without a line.
    std::string text() const;
};

// What the reader hands out, in document order. Route and track names are
// those given before their first point or segment (where GPX puts them);
// routeStart/trackStart come before the first rtept/trkseg, or at the end
// of an empty route or track.
class Visitor {
public:
    virtual ~Visitor() = default;
    virtual void waypoint(const Point&) {}
    virtual void routeStart(const std::string& /*name*/) {}
    virtual void routePoint(const Point&) {}
    virtual void routeEnd() {}
    virtual void trackStart(const std::string& /*name*/) {}
    virtual void segmentStart() {}
    virtual void trackPoint(const Point&) {}
    virtual void segmentEnd() {}
    virtual void trackEnd() {}
    // Returning true stops the reading after the current callback; read()
    // then reports an Error with stopped set.
    virtual bool wantsStop() const { return false; }
    // A point without a usable lat or lon: true passes over it (the visitor
    // has taken note of the fault) and the reading goes on; false stops the
    // reading with the fault as its Error.
    virtual bool passOverPoint(const Error& /*fault*/) { return false; }
    // False: points come without ele, time and name, which are then not
    // collected at all (faster for those who only want positions).
    virtual bool wantsPointDetails() const { return true; }
    // readFile: after each block, how many bytes of the file have been read
    // (for a progress bar); wantsStop() is asked after it.
    virtual void bytesRead(std::uint64_t /*done*/, std::uint64_t /*total*/) {}
    // Once the whole document has been read without error: how many lines it
    // has (a last line without a line end counts).
    virtual void documentEnd(std::uint64_t /*lines*/) {}
};

struct Limits {
    std::size_t maxDepth = 256;      // element nesting
    std::size_t maxTextBytes = 4096; // name/ele/time text kept per element
};

// Reads from an open stream; name is used in error messages only.
std::optional<Error> read(std::istream& in, Visitor& visitor, const std::string& name,
                          const Limits& limits = {});
// Reads bytes in memory (the fuzz target and small tests).
std::optional<Error> readBytes(std::string_view bytes, Visitor& visitor, const std::string& name,
                               const Limits& limits = {});
// Opens path through openForReading (regular files of at most 1 GiB) and reads it.
std::optional<Error> readFile(const std::string& path, Visitor& visitor, const Limits& limits = {});

} // namespace varno::gpx
