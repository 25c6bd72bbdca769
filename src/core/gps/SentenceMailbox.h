// The one-sentence hand-off from the reader and replay threads to the view.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace varno::gps {

// One slot and a pending flag under a mutex. The live reader offers a
// sentence and it is taken only while the slot is empty, so a busy view thins
// the stream instead of queueing it; a replay replaces whatever is pending.
//
// The view's intake copies the slot (snapshot), decodes and draws, and only
// then clears the pending flag: the slot cannot change in between because the
// live reader does not write a pending slot, and the replay waits for the
// repaint before it hands over the next line.
class SentenceMailbox {
public:
    // The slot holds at most this many characters; longer texts are cut.
    static constexpr std::size_t kMaxSentence = 99;

    struct Snapshot {
        std::string sentence; // the last sentence handed over (kept after it was consumed)
        bool pending = false; // not yet consumed by the view
    };

    // Fills the slot only when nothing is pending. True when it was taken.
    bool offer(std::string_view sentence);
    // Fills the slot whatever it holds.
    void replace(std::string_view sentence);

    Snapshot snapshot() const;
    void clearPending();
    // snapshot() and clearPending() at once, for consumers that do not draw;
    // nullopt when nothing is pending.
    std::optional<std::string> take();

    // Empties the slot and clears the flag, as a reader start does.
    void reset();

private:
    mutable std::mutex mutex_;
    std::string slot_;
    bool pending_ = false;
};

} // namespace varno::gps
