// Route guidance: measuring, the nearest and next texts, the announcements, the labels.
#include "routes/Guidance.h"

#include <cmath>
#include <iterator>

#include <fmt/format.h>

#include "geo/MapGeometry.h"
#include "settings/Settings.h"

namespace varno::routes {
namespace {

// The best distance a nearest search starts from, and the distance a missing
// next point counts as [m].
constexpr double kFarAway = 1000000.0;

// Whole metres, as the announcements compare and show them. A distance that
// is no number (from a point no place has) or too large for an int counts as
// far away: the cast of such a value would be undefined.
long long truncated(double metres)
{
    constexpr double kLimit = 2.0e9;
    if (!(metres > -kLimit && metres < kLimit))
        return static_cast<long long>(kFarAway);
    return static_cast<long long>(metres);
}

// "<n> - <km> km Desc. 1,Desc. 2" into text, reusing its storage.
void pointLine(std::string& text, std::size_t number, double distance, const RoutePoint& p)
{
    text.clear();
    fmt::format_to(std::back_inserter(text), "{} - {:.3f} km ", number, distance / 1000.0);
    if (p.desc1)
        text += *p.desc1;
    if (p.desc2) {
        text += ',';
        text += *p.desc2;
    }
}

} // namespace

AnnounceDistances announceDistances(speech::RoadFlags flags)
{
    if (flags.motorway)
        return {1400, 600};
    if (flags.town)
        return {500, 150};
    return {600, 300};
}

speech::RoadFlags readRoadFlags(settings::Settings& settings)
{
    using namespace settings::keys;
    return {.motorway = settings.read(RouteMotorway) == 1,
            .country = settings.read(RouteCountry) == 1,
            .town = settings.read(RouteTown) == 1};
}

LabelFlags readLabelFlags(settings::Settings& settings)
{
    using namespace settings::keys;
    return {.number = settings.read(DisplayRouteNumber) == 1,
            .text1 = settings.read(DisplayRouteText1) == 1,
            .text2 = settings.read(DisplayRouteText2) == 1};
}

void writeRoadFlags(settings::Settings& settings, speech::RoadFlags flags)
{
    using namespace settings::keys;
    settings.write(RouteMotorway, flags.motorway);
    settings.write(RouteCountry, flags.country);
    settings.write(RouteTown, flags.town);
}

std::string labelText(const RoutePoint& point, int position, LabelFlags flags)
{
    std::string text = flags.number ? fmt::format("* {}", position) : std::string("*");
    if (flags.text1 && point.desc1) {
        text += ' ';
        text += *point.desc1;
    }
    if (flags.text2 && point.desc2) {
        if (flags.text1)
            text += ',';
        else if (flags.number)
            text += ' ';
        text += *point.desc2;
    }
    return text;
}

std::string announcementText(const RoutePoint& point, double distanceM)
{
    std::string text;
    const bool colon = point.desc1 && *point.desc1 == ":";
    if (point.desc1 && !colon) {
        text += *point.desc1;
        text += ' ';
    }
    if (point.desc2)
        text += *point.desc2;
    if (!colon)
        text += fmt::format(" {} metres", truncated(distanceM));
    return text;
}

std::vector<PlacedLabel> placedLabels(const RouteList& route, LabelFlags flags, double mapRadius, int centreX,
                                      int centreY)
{
    std::vector<PlacedLabel> labels;
    const std::vector<RoutePoint>& points = route.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const RoutePoint& p = points[i];
        if (!p.measured)
            continue;
        if (const auto at = geo::screenPoint(p.offset, mapRadius, centreX, centreY))
            labels.push_back({at->x, at->y, labelText(p, static_cast<int>(i + 1), flags)});
    }
    return labels;
}

const std::optional<std::string>& Guidance::step(RouteList& route, geo::LatLon fix, bool announce)
{
    speak_.reset();
    std::vector<RoutePoint>& points = route.points();
    if (nearest_ && *nearest_ >= points.size())
        routeReplaced();

    // Every point that has a place and a Desc. 1 is measured from the fix, by
    // the map geometry's offsets (the cosine of each point's latitude is kept
    // from the load).
    for (RoutePoint& p : points) {
        p.measured = fix && p.place && p.desc1;
        if (!p.measured)
            continue;
        p.offset.north = (p.place.latDeg() - fix.latDeg()) * geo::kMetresPerDegreeNorth;
        p.offset.east = (p.place.lonDeg() - fix.lonDeg()) * p.cosLat * geo::kMetresPerDegreeEast;
        p.distance = std::sqrt(p.offset.east * p.offset.east + p.offset.north * p.offset.north);
    }

    nearestText_ = kNoNearbyPoint;
    nextText_ = kNoNearbyPoint;
    found_ = false;
    if (route.loaded() && fix) {
        // Points this step did not measure are no candidates; the earliest of
        // equal distances wins.
        double best = kFarAway;
        std::optional<std::size_t> found;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (points[i].measured && points[i].distance < best) {
                best = points[i].distance;
                found = i;
            }
        if (found) {
            nearest_ = found;
            found_ = true;
            composeTexts(route, *found);
        }
    }

    if (speakRequest_ && nearest_) {
        const RoutePoint& p = points[*nearest_];
        speakRequest_ = false;
        lastDistance_ = static_cast<int>(truncated(p.distance));
        speak_ = announcementText(p, p.distance);
    }

    if (!lastPoint_ || !nearest_ || *lastPoint_ != *nearest_) {
        lastPoint_ = nearest_;
        lastDistance_ = kUnannounced;
    } else if (announce) {
        const RoutePoint& p = points[*nearest_];
        const AnnounceDistances at = announceDistances(road_);
        const double d = p.distance;
        if ((d < at.near && lastDistance_ > at.near) || (d < at.far && lastDistance_ > at.far)) {
            lastDistance_ = static_cast<int>(truncated(d));
            speak_ = announcementText(p, d);
        }
    }
    return speak_;
}

void Guidance::composeTexts(const RouteList& route, std::size_t nearest)
{
    const std::vector<RoutePoint>& points = route.points();
    const RoutePoint& p = points[nearest];
    pointLine(nearestText_, nearest + 1, p.distance, p);
    // The point after it in the route, not the second nearest; after the
    // last point there is none.
    const std::size_t after = nearest + 1;
    const bool hasNext = after < points.size() && !points[after].latText.empty() && points[after].measured;
    if (!hasNext || points[after].distance == kFarAway)
        nextText_.clear();
    else
        pointLine(nextText_, after + 1, points[after].distance, points[after]);
}

void Guidance::readRoadTypes(speech::RoadFlags flags)
{
    road_ = flags;
    lastPoint_.reset();
    lastDistance_ = kUnannounced;
}

void Guidance::routeReplaced()
{
    nearest_.reset();
    lastPoint_.reset();
    lastDistance_ = kUnannounced;
    found_ = false;
    nearestText_ = kNoNearbyPoint;
    nextText_ = kNoNearbyPoint;
}

} // namespace varno::routes
