// The road map under a map view: its ways drawn by class, and the names of the larger ones along them.
#include "views/RoadLayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "geo/MapGeometry.h"
#include "roads/RoadFollower.h"

namespace varno::views {
namespace {

using roads::RoadClass;

constexpr std::uint32_t rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(r);
}

constexpr std::uint32_t darker(std::uint32_t c)
{
    // 55 % of each channel.
    return rgb(int(c & 0xFF) * 55 / 100, int((c >> 8) & 0xFF) * 55 / 100, int((c >> 16) & 0xFF) * 55 / 100);
}

constexpr std::size_t kClassCount = static_cast<std::size_t>(RoadClass::Other) + 1;

// Motorway, trunk and primary as the track editor draws highway-motorway,
// -trunk and -primary; paths in its footway colour, tracks in its cycleway one.
constexpr std::array<RoadPen, kClassCount> kDayPens{{
    {rgb(0, 223, 247), 3},   // motorway
    {rgb(0, 236, 190), 2},   // trunk
    {rgb(0, 236, 190), 3},   // primary
    {rgb(0, 200, 160), 2},   // secondary
    {rgb(0, 170, 140), 1},   // tertiary
    {rgb(110, 130, 130), 1}, // unclassified
    {rgb(110, 130, 130), 1}, // residential
    {rgb(90, 105, 105), 1},  // living street
    {rgb(80, 90, 90), 1},    // service
    {rgb(251, 248, 129), 1}, // track
    {rgb(246, 156, 111), 1}, // path
    {rgb(80, 90, 90), 1},    // other
}};

constexpr int kPixelLimit = 30000; // far beyond any window, well inside int

// A label's centre and half its length, to keep names apart.
struct Placed {
    double x, y, half;
};

std::size_t codePoints(std::string_view s)
{
    std::size_t n = 0;
    for (const char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

void addName(Scene& scene, const roads::RoadWay& way, const std::vector<Point>& pts, const Rect& clip,
             bool night, std::vector<Placed>& placed, std::vector<std::string_view>& named)
{
    const std::string_view name = way.name.empty() ? std::string_view(way.ref) : std::string_view(way.name);
    if (name.empty() || std::find(named.begin(), named.end(), name) != named.end())
        return;
    // Roughly the width of Arial at this height: half the height a letter.
    const double width = static_cast<double>(codePoints(name)) * kRoadNameHeight * 0.5;
    const double height = kRoadNameHeight;
    // The longest run of nearly straight stretches inside the area, a little
    // in from its edges, taken as the line from its first point to its last
    // and cut where it crosses the edges: a street is drawn in many short
    // stretches, few of them as long as its name.
    const double m = kRoadNameHeight;
    const double left = clip.left + m, right = clip.right - m, top = clip.top + m, bottom = clip.bottom - m;
    double best = 0.0;
    double ax = 0, ay = 0, bx = 0, by = 0;
    constexpr double kStraightRad = 20.0 * 3.14159265358979323846 / 180.0;
    for (std::size_t i = 0, j = 1; j < pts.size(); i = j, j = i + 1) {
        const double first = std::atan2(pts[j].y - pts[i].y, pts[j].x - pts[i].x);
        while (j + 1 < pts.size()) {
            double turn = std::fabs(std::atan2(pts[j + 1].y - pts[j].y, pts[j + 1].x - pts[j].x) - first);
            turn = std::min(turn, 2.0 * 3.14159265358979323846 - turn);
            if (turn > kStraightRad)
                break;
            ++j;
        }
        // Liang and Barsky's cut of the run's line to the rectangle.
        const double x0 = pts[i].x, y0 = pts[i].y, dx = pts[j].x - x0, dy = pts[j].y - y0;
        double t0 = 0.0, t1 = 1.0;
        bool visible = true;
        for (const auto& [p, q] : {std::pair{-dx, x0 - left}, std::pair{dx, right - x0},
                                  std::pair{-dy, y0 - top}, std::pair{dy, bottom - y0}}) {
            if (p == 0.0) {
                visible = visible && q >= 0.0;
                continue;
            }
            const double r = q / p;
            if (p < 0.0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        if (!visible || t0 >= t1)
            continue;
        const double len = (t1 - t0) * std::hypot(dx, dy);
        if (len > best)
            best = len, ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
    }
    if (best < width + 8.0)
        return;
    if (bx < ax || (bx == ax && by < ay)) {
        std::swap(ax, bx); // read from left to right
        std::swap(ay, by);
    }
    const double mx = (ax + bx) / 2.0, my = (ay + by) / 2.0;
    const double half = width / 2.0;
    for (const Placed& p : placed)
        if (std::hypot(p.x - mx, p.y - my) < p.half + half + 4.0)
            return;
    const double angle = std::atan2(by - ay, bx - ax);
    const double c = std::cos(angle), s = std::sin(angle);
    // The cell's top left corner, so that the text's middle lies on the stretch.
    const double x = mx - half * c + height / 2.0 * s;
    const double y = my - half * s - height / 2.0 * c;
    TextItem t;
    t.text = std::string(name);
    t.x = static_cast<int>(std::lround(x));
    t.y = static_cast<int>(std::lround(y));
    t.family = "Arial";
    t.cellHeight = kRoadNameHeight;
    t.colour = roadNameColour(night);
    t.clip = clip;
    t.angleDeg = static_cast<int>(std::lround(angle * 180.0 / 3.14159265358979323846));
    scene.add(std::move(t));
    placed.push_back({mx, my, half});
    named.push_back(name);
}

} // namespace

RoadPen roadPen(roads::RoadClass roadClass, bool night)
{
    const auto k = std::min(static_cast<std::size_t>(roadClass), kClassCount - 1);
    RoadPen p = kDayPens[k];
    if (night)
        p.colour = darker(p.colour);
    return p;
}

std::uint32_t roadNameColour(bool night)
{
    return night ? rgb(120, 120, 120) : rgb(210, 210, 210);
}

bool roadDrawnAt(roads::RoadClass roadClass, double mapRadiusM)
{
    switch (roadClass) {
    case RoadClass::Service:
        return mapRadiusM <= 1000.0;
    case RoadClass::Track:
    case RoadClass::Path:
    case RoadClass::Other:
        return mapRadiusM <= 500.0;
    default:
        return true;
    }
}

bool roadNamedAt(roads::RoadClass roadClass, double mapRadiusM)
{
    if (roadClass <= RoadClass::Secondary)
        return true;
    if (roadClass == RoadClass::Tertiary)
        return mapRadiusM <= 2000.0;
    return roadClass <= RoadClass::LivingStreet && mapRadiusM <= 1000.0;
}

double roadReachM(const RoadMapArea& area, double mapRadiusM)
{
    const Rect& r = area.clip;
    const double dx = std::max(std::abs(r.left - area.centreX), std::abs(r.right - area.centreX));
    const double dy = std::max(std::abs(r.top - area.centreY), std::abs(r.bottom - area.centreY));
    return mapRadiusM * std::max(dx / geo::kPixelsPerRadiusX, dy / geo::kPixelsPerRadiusY);
}

void addRoadWays(Scene& scene, const std::vector<roads::RoadWay>& ways, geo::LatLon fix, double mapRadiusM,
                 const RoadMapArea& area, bool night)
{
    if (!fix || !(mapRadiusM > 0.0) || ways.empty())
        return;
    // Pixels per degree: the east offset uses the cosine of the fix's
    // latitude; across a map of a few kilometres that is the point's own to
    // well under a pixel.
    const double sx = std::cos(fix.latDeg() * geo::kDegToRad) * geo::kMetresPerDegreeEast *
                      geo::kPixelsPerRadiusX / mapRadiusM;
    const double sy = geo::kMetresPerDegreeNorth * geo::kPixelsPerRadiusY / mapRadiusM;
    const double lat0 = fix.latDeg(), lon0 = fix.lonDeg();
    const Rect& clip = area.clip;
    auto clamp = [](double v) {
        return static_cast<int>(std::clamp(v, double(-kPixelLimit), double(kPixelLimit)));
    };

    // The area in degrees, a pen's width wider: ways wholly outside it are
    // passed over before any point is placed.
    const int reach = 3; // [px] the widest pen
    const double south = lat0 - (clip.bottom + reach - area.centreY) / sy;
    const double north = lat0 + (area.centreY - clip.top + reach) / sy;
    const double west = lon0 - (area.centreX - clip.left + reach) / sx;
    const double east = lon0 + (clip.right + reach - area.centreX) / sx;

    // The ways by class, each placed once.
    std::array<std::vector<std::size_t>, kClassCount> byClass;
    std::vector<std::vector<Point>> placedPoints(ways.size());
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < ways.size(); ++i) {
        const roads::RoadWay& w = ways[i];
        if (w.points.size() < 2 || !roadDrawnAt(w.roadClass, mapRadiusM))
            continue;
        double minLat = 90.0, maxLat = -90.0, minLon = 180.0, maxLon = -180.0;
        for (const geo::LatLon& p : w.points) {
            minLat = std::min(minLat, p.latDeg()), maxLat = std::max(maxLat, p.latDeg());
            minLon = std::min(minLon, p.lonDeg()), maxLon = std::max(maxLon, p.lonDeg());
        }
        if (maxLat < south || minLat > north || maxLon < west || minLon > east)
            continue;
        std::vector<Point>& pts = placedPoints[i];
        pts.reserve(w.points.size());
        for (const geo::LatLon& p : w.points) {
            // Truncated as geo::screenPoint truncates.
            const Point px{clamp(area.centreX + (p.lonDeg() - lon0) * sx),
                           clamp(area.centreY - (p.latDeg() - lat0) * sy)};
            if (pts.empty() || !(pts.back() == px))
                pts.push_back(px);
        }
        if (pts.size() == 1)
            pts.push_back(pts.front()); // a way within one pixel still draws it
        byClass[std::min(static_cast<std::size_t>(w.roadClass), kClassCount - 1)].push_back(i);
        ++drawn;
    }
    scene.items.reserve(scene.items.size() + drawn + 64);
    // The smaller roads first, so that the larger run over them.
    for (std::size_t k = kClassCount; k-- > 0;) {
        const RoadPen pen = roadPen(static_cast<RoadClass>(k), night);
        // The points of ways that may be named are still needed below.
        const bool keep = roadNamedAt(static_cast<RoadClass>(k), mapRadiusM);
        for (const std::size_t i : byClass[k])
            scene.add(PolylineItem{keep ? placedPoints[i] : std::move(placedPoints[i]), pen.colour, pen.width,
                                   clip});
    }
    // Names over every way, the larger roads' first.
    std::vector<Placed> placed;
    std::vector<std::string_view> named;
    for (std::size_t k = 0; k < kClassCount; ++k) {
        if (!roadNamedAt(static_cast<RoadClass>(k), mapRadiusM))
            continue;
        for (const std::size_t i : byClass[k])
            addName(scene, ways[i], placedPoints[i], clip, night, placed, named);
    }
}

void addRoadMap(Scene& scene, const SceneInput& in, const RoadMapArea& area)
{
    if (!in.roadMap || !in.fix.position)
        return;
    const auto& ways = in.roadMap->waysAround(in.fix.position, roadReachM(area, in.mapRadius));
    addRoadWays(scene, ways, in.fix.position, in.mapRadius, area, in.night);
}

} // namespace varno::views
