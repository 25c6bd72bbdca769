// The road the car is on: the way of the road map each fix is matched to.
#include "roads/RoadMatcher.h"

#include <cmath>
#include <iterator>
#include <fmt/format.h>

#include "geo/MapGeometry.h"
#include "gps/Presentation.h"

namespace varno::roads {
namespace {

// [km/h] of one unit of the shown speed.
double kphPerUnit(int speedUnits)
{
    if (speedUnits == gps::kSpeedUnitsKph)
        return 1.0;
    if (speedUnits == gps::kSpeedUnitsKnots)
        return gps::kKnotsToKph;
    return 1.609344;
}

// The smaller angle [deg] between two directions.
double angleBetween(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

} // namespace

std::string_view roadClassName(RoadClass roadClass)
{
    static constexpr std::string_view kNames[] = {"motorway", "trunk",        "primary",     "secondary",
                                                  "tertiary", "unclassified", "residential", "living_street",
                                                  "service",  "track",        "path",        "other"};
    const auto k = static_cast<std::size_t>(roadClass);
    return k < std::size(kNames) ? kNames[k] : "other";
}

std::string limitInUnits(int limitKph, int speedUnits)
{
    if (limitKph == kLimitNone)
        return "none";
    if (limitKph <= 0)
        return {};
    return fmt::format("{}", static_cast<int>(std::lround(limitKph / kphPerUnit(speedUnits))));
}

std::string roadLine(const RoadMatch& road, int speedUnits)
{
    const std::string limit = limitInUnits(road.limitKph, speedUnits);
    const std::string label = road.label();
    if (limit.empty())
        return label;
    // A road with a limit but neither name nor ref still says its limit.
    return label.empty() ? limit : label + " \xC2\xB7 " + limit;
}

bool overRoadLimit(const RoadMatch& road, double speedKnots, int speedUnits)
{
    if (road.limitKph <= 0)
        return false;
    const double unit = kphPerUnit(speedUnits);
    return speedKnots * gps::kKnotsToKph / unit > static_cast<double>(std::lround(road.limitKph / unit));
}

std::optional<double> distanceAlong(const RoadWay& way, geo::LatLon fix, std::optional<double> courseDeg,
                                    double rangeM)
{
    if (!fix || way.points.empty())
        return std::nullopt;
    // Flat metres around the fix: over the few tens of metres that count the
    // error is far below a receiver's.
    const double kx = std::cos(fix.latDeg() * geo::kDegToRad) * geo::kMetresPerDegreeEast;
    const double ky = geo::kMetresPerDegreeNorth;
    const double lat0 = fix.latDeg(), lon0 = fix.lonDeg();
    const double reachLat = rangeM / ky;
    std::optional<double> best;
    double px = (way.points[0].lonDeg() - lon0) * kx, py = (way.points[0].latDeg() - lat0) * ky;
    double prevLat = way.points[0].latDeg();
    if (way.points.size() == 1) {
        const double d = std::hypot(px, py);
        return !courseDeg && d <= rangeM ? std::optional<double>(d) : std::nullopt;
    }
    for (std::size_t i = 1; i < way.points.size(); ++i) {
        const double lat = way.points[i].latDeg();
        const double qx = (way.points[i].lonDeg() - lon0) * kx, qy = (lat - lat0) * ky;
        // Both ends far north or far south: the stretch cannot come near.
        const bool far = (prevLat - lat0 > reachLat && lat - lat0 > reachLat) ||
                         (lat0 - prevLat > reachLat && lat0 - lat > reachLat);
        const double dx = qx - px, dy = qy - py;
        const double len2 = dx * dx + dy * dy;
        if (!far && len2 > 0.0) {
            double t = -(px * dx + py * dy) / len2;
            t = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
            const double d = std::hypot(px + t * dx, py + t * dy);
            if (d <= rangeM && (!best || d < *best)) {
                bool agrees = true;
                if (courseDeg) {
                    double bearing = std::atan2(dx, dy) / geo::kDegToRad;
                    if (bearing < 0.0)
                        bearing += 360.0;
                    agrees = angleBetween(bearing, *courseDeg) <= kMatchAngleDeg ||
                             (!way.oneway && angleBetween(bearing + 180.0, *courseDeg) <= kMatchAngleDeg);
                }
                if (agrees)
                    best = d;
            }
        }
        px = qx, py = qy, prevLat = lat;
    }
    return best;
}

const std::optional<RoadMatch>& RoadMatcher::match(const gps::Fix& fix, bool receiverHasFix,
                                                   const std::vector<RoadWay>& ways)
{
    if (!receiverHasFix || !fix.position) {
        current_.reset();
        return current_;
    }
    const std::optional<double> course = fix.speedKnots * gps::kKnotsToKph > kMatchCourseMinKph
                                             ? std::optional<double>(fix.courseDeg)
                                             : std::nullopt;
    const RoadWay* nearest = nullptr;
    double nearestM = 0.0;
    const RoadWay* kept = nullptr;
    double keptM = 0.0;
    for (const RoadWay& w : ways) {
        const std::optional<double> d = distanceAlong(w, fix.position, course);
        if (!d)
            continue;
        if (!nearest || *d < nearestM)
            nearest = &w, nearestM = *d;
        if (current_ && w.id == current_->wayId)
            kept = &w, keptM = *d;
    }
    const RoadWay* chosen = nearest;
    double chosenM = nearestM;
    if (kept && nearest != kept) {
        const bool sameRoad = nearest->name == current_->name && nearest->ref == current_->ref;
        if (!sameRoad && nearestM + kSwitchMarginM >= keptM)
            chosen = kept, chosenM = keptM;
    }
    if (!chosen) {
        current_.reset();
        return current_;
    }
    if (current_ && current_->wayId == chosen->id) {
        current_->distanceM = chosenM;
        return current_;
    }
    current_ = RoadMatch{chosen->id,       chosen->roadClass, chosen->name, chosen->ref,
                         chosen->limitKph, chosen->limitText, chosenM};
    return current_;
}

} // namespace varno::roads
