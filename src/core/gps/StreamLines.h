// Lines out of a gpsd or TCP byte stream, as the reader thread expects them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varno::gps {

// Cuts a network stream into lines (CR, LF or CR LF end a line) and passes
// the lines worth handing on, each ended by CR LF, so the reader thread sees
// what a serial receiver would send.
//
// Gpsd mode keeps only NMEA lines (starting with '$' or '!'): gpsd's own JSON
// replies and anything else are dropped. Raw mode keeps every non-empty line,
// as a serial port would. A line longer than kMaxLine is dropped whole, without
// the filter holding more than kMaxLine bytes of it, so a peer that floods one
// endless line costs no memory.
class StreamLines {
public:
    enum class Mode { Raw, Gpsd };

    static constexpr std::size_t kMaxLine = 255;

    struct Stats {
        std::uint64_t kept = 0;     // lines passed on
        std::uint64_t dropped = 0;  // lines left out (gpsd JSON, not NMEA)
        std::uint64_t overlong = 0; // lines longer than kMaxLine
    };

    explicit StreamLines(Mode mode = Mode::Raw) : mode_(mode) {}

    // Forgets any partial line (a new connection starts afresh).
    void reset(Mode mode);

    // Appends the lines completed by `bytes` to `out`.
    void feed(std::string_view bytes, std::string& out);

    const Stats& stats() const { return stats_; }

private:
    void endLine(std::string& out);

    Mode mode_;
    std::string line_;
    bool skipping_ = false; // inside a line already known to be too long
    Stats stats_;
};

} // namespace varno::gps
