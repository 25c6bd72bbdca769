// The road the car is on: the way of the road map each fix is matched to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gps/Fix.h"
#include "roads/RoadWay.h"

namespace varno::roads {

// A way counts only within this distance [m] of the fix ...
inline constexpr double kMatchRangeM = 30.0;
// ... and when one of its stretches within that range runs within this many
// degrees of the course (either way along it, unless it is one way).
inline constexpr double kMatchAngleDeg = 45.0;
// At or below this speed [km/h] the course means nothing (a receiver keeps
// sending the last one, or noise, when standing): the direction is not tested.
inline constexpr double kMatchCourseMinKph = 5.0;
// The way matched stays matched while it still counts, unless another is
// nearer by more than this [m].
inline constexpr double kSwitchMarginM = 10.0;

struct RoadMatch {
    std::int64_t wayId = 0;
    RoadClass roadClass = RoadClass::Other;
    std::string name;
    std::string ref;
    int limitKph = kLimitUnknown;
    std::string limitText;
    double distanceM = 0.0; // [m] from the fix to the way

    // What the view calls the road: its ref ("A1") when it has one, else its name.
    std::string label() const { return ref.empty() ? name : ref; }
    friend bool operator==(const RoadMatch&, const RoadMatch&) = default;
};

// The class as OpenStreetMap's highway values name it: "motorway" ... "living_street", "service",
// "track", "path", "other".
std::string_view roadClassName(RoadClass roadClass);

// The limit in the unit speeds are shown in (SpeedUnits: 0 mph, 1 km/h,
// 2 knots), rounded: "50"; "none" for no limit; "" when not known.
std::string limitInUnits(int limitKph, int speedUnits);
// The camera view's road line: "A1 · 50", the limit in the display's unit;
// the label alone when the limit is not known.
std::string roadLine(const RoadMatch& road, int speedUnits);
// Whether the speed is over the road's limit as it is shown (rounded to the
// display's unit, as a camera's limit is compared); false with no number.
bool overRoadLimit(const RoadMatch& road, double speedKnots, int speedUnits);

// "The nearest qualifying way": a way qualifies when it passes within
// kMatchRangeM of the fix along a stretch whose direction agrees with the
// course; its distance is that of its nearest agreeing stretch.
//
// Hysteresis: the way matched on the fix before stays matched as long as it
// qualifies, and is left for another only when that one is nearer by more
// than kSwitchMarginM, so that two parallel ways (a carriageway and its
// service road, a fork just begun) do not take turns fix by fix. A way that
// carries the same name and ref as the one matched (the next piece of the
// same street, split where its tags change) takes over as soon as it is
// nearer. When the matched way stops qualifying (a turn), the nearest that
// does wins at once.
//
// No fix (no position, or the receiver says its position is not valid):
// no road, and the hysteresis starts afresh.
class RoadMatcher {
public:
    const std::optional<RoadMatch>& match(const gps::Fix& fix, bool receiverHasFix,
                                          const std::vector<RoadWay>& ways);
    const std::optional<RoadMatch>& current() const { return current_; }
    void reset() { current_.reset(); }

private:
    std::optional<RoadMatch> current_;
};

// The distance [m] from the fix to the way over its stretches whose direction
// agrees with courseDeg (every stretch when courseDeg is nullopt); nullopt
// when none lies within rangeM.
std::optional<double> distanceAlong(const RoadWay& way, geo::LatLon fix, std::optional<double> courseDeg,
                                    double rangeM = kMatchRangeM);

} // namespace varno::roads
