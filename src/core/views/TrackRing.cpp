// The track log ring: the last TrackLength + 1 positions the vehicle drove through.
#include "views/TrackRing.h"

namespace varno::views {

void TrackRing::allocate(int trackLength)
{
    free();
    trackLength_ = trackLength < 0 ? 0 : trackLength;
    index_ = startIndex();
    // value-initialised: every slot reads as empty (0.0, 0.0)
    slots_.assign(static_cast<std::size_t>(trackLength_) + 1, TrackSlot{});
}

void TrackRing::free()
{
    std::vector<TrackSlot>().swap(slots_);
}

void TrackRing::record(geo::LatLon position)
{
    if (index_ >= trackLength_ || index_ < 0)
        index_ = 0;
    else
        ++index_;
    if (TrackSlot* s = slot(index_))
        *s = {position.latDeg(), position.lonDeg()};
}

const TrackSlot* TrackRing::slot(int i) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= slots_.size())
        return nullptr;
    return &slots_[static_cast<std::size_t>(i)];
}

TrackSlot* TrackRing::slot(int i)
{
    return const_cast<TrackSlot*>(static_cast<const TrackRing&>(*this).slot(i));
}

} // namespace varno::views
