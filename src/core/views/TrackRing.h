// The track log ring: the last TrackLength + 1 positions the vehicle drove through.
#pragma once

#include <cstddef>
#include <vector>

#include "geo/LatLon.h"

namespace varno::views {

struct TrackSlot {
    double lat = 0.0; // [deg] 0.0 = empty slot
    double lon = 0.0; // [deg]
};

// A ring of TrackLength + 1 slots, zero-filled when allocated. The write index
// starts one past the last slot, so the first recorded point goes to slot 0;
// after slot TrackLength (or anything above) the index wraps to 0.
//
// The ring is memory only. "Not allocated" (track logging off) is a state of
// its own: no slots, and the index is still kept.
class TrackRing {
public:
    TrackRing() = default;

    // Frees the slots and allocates trackLength + 1 zero-filled ones; the index
    // goes back to its start value. Throws std::bad_alloc when the memory is
    // not there (TrackLogging turns that into its message).
    void allocate(int trackLength);
    void free();
    bool allocated() const { return !slots_.empty(); }

    // The TrackLength the ring was sized for (slots - 1); the last value given
    // to allocate() or reset() while nothing is allocated.
    int trackLength() const { return trackLength_; }
    std::size_t slotCount() const { return slots_.size(); }

    int index() const { return index_; }
    // Sets the write index (a record file restores it to its start value).
    void setIndex(int index) { index_ = index; }
    // TrackLength + 1: where the index starts.
    int startIndex() const { return trackLength_ + 1; }

    // Advances the index (to 0 when it is at TrackLength or above, else + 1)
    // and stores the position in that slot if the slot exists; no position
    // leaves the slot empty.
    void record(geo::LatLon position);

    // The slot i, or nullptr when it is not allocated.
    const TrackSlot* slot(int i) const;
    TrackSlot* slot(int i);

private:
    std::vector<TrackSlot> slots_;
    int trackLength_ = 0;
    int index_ = 1;
};

} // namespace varno::views
