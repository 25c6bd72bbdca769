// The receiver's state in words for the status bar: opening, waiting, fix or no fix, silent.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace varno::gps {
class CNmeaDecoder;
}

namespace varno::session {

// Where the sentences come from right now, as the GPS control and the replay tell it.
struct ReceiverLink {
    enum class Kind {
        Off,     // no port open, no replay
        Opening, // the port open and its waits are under way
        Open,    // the port is open and the reader runs
        Lost,    // the port is flagged open but the reader ended (the device went away)
        Replay,  // a log is being replayed
    };
    Kind kind = Kind::Off;
    std::string port; // the name the user chose ("/dev/ttyUSB0", "gpsd://localhost:2947")

    bool operator==(const ReceiverLink&) const = default;
};

// Follows the link and the sentences that reach the fix, and says what the
// user should know about the receiver: "Opening /dev/ttyUSB0…", "Waiting for
// data on /dev/ttyUSB0", "No fix (3 satellites)", "Fix, 9 satellites",
// "Receiver stopped responding", with ", fix 12 s old" once the last fix is
// that old. UI thread only; times come from a steady clock.
class ReceiverState {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // A receiver that sends nothing for this long has stopped responding
    // (receivers talk at least once a second; the read time-out is 2 s).
    static constexpr std::chrono::seconds kSilence{5};
    // A fix younger than this needs no age.
    static constexpr std::chrono::seconds kFreshFix{2};

    // The link as it is now; a change of link forgets the sentences of the old one.
    void setLink(const ReceiverLink& link);
    const ReceiverLink& link() const { return link_; }

    // A sentence was decoded into the fix at `now` (checksum passed): what the
    // decoder's GGA or, without one, RMC fields say about the fix.
    void sentence(const gps::CNmeaDecoder& decoder, TimePoint now);

    std::string words(TimePoint now) const;

    // The link's state as the view shows it in big words: "Waiting for GPS on
    // /dev/ttyUSB0" while the port opens and until its first sentence,
    // "Receiver stopped responding" once it has been silent for kSilence or
    // its reader ended; empty otherwise (off, a replay, a receiver that talks:
    // whether it has a fix the fix itself tells).
    std::string linkNotice(TimePoint now) const;

private:
    ReceiverLink link_;
    std::optional<TimePoint> lastSentence_;
    std::optional<TimePoint> lastFix_;
    bool fix_ = false;
    std::optional<int> satellites_; // from the GGA; unknown with RMC alone
};

} // namespace varno::session
