// An open road map as the session uses it: the road matched to each fix, and the ways the views draw.
#include "roads/RoadFollower.h"

namespace varno::roads {

RoadFollower::RoadFollower(std::unique_ptr<RoadSource> source)
    : source_(std::move(source)), near_(*source_, 1.0), view_(*source_, 0.5)
{
}

const std::optional<RoadMatch>& RoadFollower::onFix(const gps::Fix& fix, bool receiverHasFix)
{
    if (receiverHasFix && fix.position)
        near_.need(fix.position, kMatchReachM);
    return matcher_.match(fix, receiverHasFix, near_.ways());
}

const std::vector<RoadWay>& RoadFollower::waysAround(geo::LatLon centre, double halfM)
{
    view_.need(centre, halfM);
    return view_.ways();
}

} // namespace varno::roads
