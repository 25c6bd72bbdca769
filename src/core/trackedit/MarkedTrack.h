// The track opened for editing with its start and end marks, and the saving of
// the marked stretch of its log as a new log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "trackedit/TrackEntry.h"

namespace varno::trackedit {

// The track opened for editing: its points, and for each point the number of
// the $GPGGA line (from 0) it came from, which the saved stretch counts by.
struct EditedTrack {
    TrackEntry entry;
    std::vector<std::uint32_t> ggaLine;
};

// The start and end mark: indexes from 0 to the point count (one past the
// last point).
struct Marks {
    long start = 0;
    long end = 0;
    friend bool operator==(const Marks&, const Marks&) = default;
};

class MarkedTrack {
public:
    // The mark values while no track is edited.
    static constexpr long kNoStart = -1;
    static constexpr long kNoEnd = 100;
    static constexpr long kNoCount = 100;

    const EditedTrack* track() const { return track_ ? &*track_ : nullptr; }
    // Reads the log's points, puts the marks on its first and last point and
    // fits nothing (the view does). False after a message; the marks are then reset.
    bool open(const std::string& description, const std::string& path, Prompt& prompt);
    // Drops the track and its unsaved state; the marks stay until reset().
    void close();
    // The marks without a track.
    void reset();

    Marks marks() const { return {start_, end_}; }
    // A marker position follows its index when the index designates a point.
    void setMarks(Marks m);
    long count() const { return count_; }
    TrackPoint startMarker() const { return startPos_; }
    TrackPoint endMarker() const { return endPos_; }
    // The point an index designates, if any.
    const TrackPoint* pointAt(long index) const;
    // The marks moved since the track was opened or saved.
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    // Writes the marked stretch of the source log to outPath (an existing file
    // only after the user says so); false after a message.
    bool saveStretchTo(const std::string& outPath, Prompt& prompt);

private:
    std::optional<EditedTrack> track_;
    bool changed_ = false;
    long start_ = kNoStart, end_ = kNoEnd, count_ = kNoCount;
    TrackPoint startPos_, endPos_;
};

} // namespace varno::trackedit
