// The drawing of the POI view and of the three heading views: compass, pointer and trail.
#include "views/HeadingScenes.h"

#include <cmath>
#include <fmt/printf.h>
#include <numbers>

#include "base/Text.h"
#include "cameras/CameraDistance.h"
#include "gps/Presentation.h"
#include "poi/PoiList.h"
#include "views/CameraViewScene.h"
#include "views/RoadLayer.h"
#include "views/Trail.h"

namespace varno::views {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr const char* kTimes = "Times New Roman";
constexpr int kLabelFont = 18;
constexpr int kLargeFont = 36;
constexpr std::uint32_t kCardinalTick = 0x0000F0E9;
constexpr std::uint32_t kLargeText = 0x00E4CF00;
constexpr std::uint32_t kSmallRoseFill = 0x0096736E;
constexpr std::uint32_t kSmallRoseRim = 0x00227A1F;
// The views whose window is not larger than this draw nothing.
constexpr int kMinWidth = 750, kMinHeight = 460;
// Characters of a trail view text box.
constexpr std::size_t kBoxTextLimit = 59;

// Draws in image pixels: each point moves down by the image's offset in the
// window, and every item is clipped to the image.
struct Canvas {
    Scene& scene;
    int dy;
    Rect clip;

    void text(std::string t, double x, double y, int height = kLabelFont, std::uint32_t colour = kWhite,
              std::uint32_t bg = kBlack, const char* family = kTimes) const
    {
        scene.add(TextItem{std::move(t), static_cast<int>(x), static_cast<int>(y) + dy, family, height,
                           colour, bg, clip});
    }
    void line(double x1, double y1, double x2, double y2, std::uint32_t colour, int width = 0) const
    {
        scene.add(PolylineItem{{{static_cast<int>(x1), static_cast<int>(y1) + dy},
                                {static_cast<int>(x2), static_cast<int>(y2) + dy}},
                               colour,
                               width,
                               clip});
    }
    // A line along the screen direction theta around (cx, cy) from radius r1 to r2.
    void ray(double cx, double cy, double theta, double r1, double r2, std::uint32_t colour,
             int width = 0) const
    {
        line(cx + r1 * std::cos(theta), cy - r1 * std::sin(theta), cx + r2 * std::cos(theta),
             cy - r2 * std::sin(theta), colour, width);
    }
    void circle(int l, int t, int r, int b, std::uint32_t pen, int width = 0,
                std::uint32_t fill = kNoColour) const
    {
        scene.add(EllipseItem{{l, t + dy, r, b + dy}, pen, width, fill});
    }
    // The fix trail around (cx, cy), the pen lifted outside the map square.
    void fixTrail(const SceneInput& in, int cx, int cy) const
    {
        if (!in.trail)
            return;
        const Rect box{cx - kTrailCentreDx, cy + dy - kTrailCentreDy, 0, 0};
        for (PolylineItem& l : trailPolylines(*in.trail, in.fix.position, in.mapRadius, box)) {
            l.clip = clip;
            scene.add(std::move(l));
        }
    }
};

std::string threeDigits(double v)
{
    return fmt::sprintf("%03.f", v);
}

bool windowLargeEnough(const SceneInput& in)
{
    return in.windowWidth > kMinWidth && in.windowHeight > kMinHeight;
}

void fixValues(const Canvas& c, const SceneInput& in, int x, int latY)
{
    c.text(fmt::sprintf("Lat. %f", in.fix.position.latDeg()), x, latY);
    c.text(fmt::sprintf("Long. %f", in.fix.position.lonDeg()), x, latY + 20);
    c.text(gps::timeText(in.fix, in.timeZone), x, latY + 40);
}

// The rose with its panel, steps shared by the compass and pointer views.
void addRose(const Canvas& c, const SceneInput& in, int radiusY, int courseX, int courseY)
{
    const double before = in.headingBefore;
    for (int a = 0; a <= 340; a += 20) {
        const double t = roseAngle(a, before);
        c.text(threeDigits(a), 164 + 144 * std::cos(t), 160 - 144 * std::sin(t));
    }
    c.text(geo::mapRadiusLabel(in.mapRadius), 310, radiusY);
    fixValues(c, in, 600, 20);
    c.text(fmt::sprintf("Bearing %03.f", in.fix.courseDeg), 600, 80);
    c.text(gps::speedLabelText(in.fix.speedKnots, in.speedUnits), 600, 100);
    c.text(fmt::sprintf("Alt. %03.f metres", in.fix.altitudeM), 600, 120);
    for (int a = 0; a < 360; a += 90)
        c.ray(kRoseX, kRoseY, roseAngle(a, before), 30, 60, kCardinalTick, 3);

    c.text(threeDigits(in.fix.courseDeg), courseX, courseY, kLargeFont, kLargeText);
    const char* letters[] = {"N", "E", "S", "W"};
    for (int k = 0; k < 4; ++k) {
        const double t = roseAngle(k * 90, before);
        c.text(letters[k], 164 + 80 * std::cos(t), 152 - 80 * std::sin(t), kLargeFont, kLargeText);
    }
    c.circle(76, 70, 274, 270, kWhite);
    c.circle(65, 60, 284, 280, kWhite);
    c.circle(55, 50, 294, 290, kWhite);
    c.circle(45, 41, 304, 299, kWhite);
    c.circle(15, 11, 334, 329, kWhite);

    // The ticks turn with this draw's heading.
    const double h = in.heading;
    for (int a = 0; a < 360; a += 5)
        c.ray(kRoseX, kRoseY, roseAngle(a, h), 109, 119, kWhite);
    for (int a = 0; a < 360; a += 20)
        c.ray(kRoseX, kRoseY, roseAngle(a, h), 119, 129, kWhite);
    for (int a = 10; a < 360; a += 20)
        c.ray(kRoseX, kRoseY, roseAngle(a, h), 119, 159, kWhite);

    c.line(76, 168, 156, 168, kWhite);
    c.line(194, 168, 274, 168, kWhite);
    c.line(174, 70, 174, 150, kWhite);
    c.line(174, 190, 174, 270, kWhite);
    c.line(156, 168, 194, 168, kCrossHairInner);
    c.line(174, 150, 174, 190, kCrossHairInner);
    c.line(174, 69, 174, 32, kCrossHairInner, 3);

    c.fixTrail(in, kMiniMapX, kMiniMapY);
    c.line(396, 168, 476, 168, kWhite);
    c.line(514, 168, 594, 168, kWhite);
    c.line(494, 70, 494, 150, kWhite);
    c.line(494, 190, 494, 270, kWhite);
    c.line(476, 168, 514, 168, kWhite);
    c.line(494, 150, 494, 190, kWhite);
}

std::optional<geo::Offset> offsetOf(geo::LatLon p, geo::LatLon fix)
{
    return geo::LatLonToMetres(p, fix);
}

double lengthOf(const std::optional<geo::Offset>& o)
{
    return o ? std::hypot(o->east, o->north) : 0.0;
}

// Route labels around (cx, cy) in image pixels, by the cut rules.
void routeLabels(const Canvas& c, const SceneInput& in, int cx, int cy)
{
    if (!in.routeMarks)
        return;
    for (const RouteMarks::Label& l : in.routeMarks->labels) {
        const auto o = offsetOf(l.at, in.fix.position);
        if (!o)
            continue;
        const auto p = geo::screenPoint(*o, in.mapRadius, cx, cy);
        if (!p)
            continue;
        if (auto text = cutRouteLabel(l.text, p->x, p->y))
            c.text(std::move(*text), p->x, p->y);
    }
}

// The route direction arrow and the target pointer, each on its own rose.
struct Arrows {
    std::optional<double> routeDeg;  // compass bearing N -> S
    std::optional<double> targetDeg; // compass bearing vehicle -> target
    bool passed = false;
};

Arrows arrowsOf(const SceneInput& in)
{
    Arrows a;
    if (!in.routeMarks || !in.routeMarks->hasNearest)
        return a;
    const RouteMarks& r = *in.routeMarks;
    const geo::LatLon fix = in.fix.position;
    a.passed = passedNearest(r, fix);
    const auto n = offsetOf(r.nearest, fix);
    const auto s = offsetOf(r.following, fix);
    if (n && s && (s->east != 0.0 || s->north != 0.0))
        a.routeDeg = compassBearing(s->east - n->east, s->north - n->north);
    const auto& target = a.passed && s ? s : n;
    if (target)
        a.targetDeg = compassBearing(target->east, target->north);
    return a;
}

void routeArrow(const Canvas& c, double cx, double cy, double bearing, double heading, bool passed,
                double scale)
{
    const std::uint32_t colour = passed ? kPassedColour : kRouteArrowColour;
    const double t = roseAngle(bearing, heading);
    c.ray(cx, cy, t, 80 * scale, 107 * scale, colour, 3);
    const double fromX = cx + 42 * scale * std::cos(t), fromY = cy - 42 * scale * std::sin(t);
    for (double phi = t + 1.2; phi <= t + 5.0 + 1e-9; phi += 0.05) {
        const double b = (phi + t + kPi) / 2;
        c.line(fromX, fromY, cx + 40 * scale * std::cos(b), cy - 40 * scale * std::sin(b), colour, 3);
    }
}

void targetPointer(const Canvas& c, double cx, double cy, double bearing, double heading, bool passed,
                   double scale)
{
    // Once the nearest point is passed the pointer aims at the next one in the
    // route arrow's colour.
    const std::uint32_t colour = passed ? kRouteArrowColour : kPassedColour;
    const double t = roseAngle(bearing, heading);
    c.ray(cx, cy, t, 45 * scale, 107 * scale, colour, 3);
    const double tipX = cx + 80 * scale * std::cos(t), tipY = cy - 80 * scale * std::sin(t);
    for (double psi = t - 1.2; psi <= t + 1.2 + 1e-9; psi += 0.1)
        c.line(cx + 50 * scale * std::cos(psi), cy - 50 * scale * std::sin(psi), tipX, tipY, colour, 3);
    const double baseX = cx + 50 * scale * std::cos(t), baseY = cy - 50 * scale * std::sin(t);
    for (double phi = t + 1.2; phi <= t + 5.0 + 1e-9; phi += 0.05) {
        const double b = (phi + t + kPi) / 2;
        c.line(baseX, baseY, cx + 60 * scale * std::cos(b), cy - 60 * scale * std::sin(b), colour, 3);
    }
}

void nearestTexts(const Canvas& c, const SceneInput& in)
{
    if (in.routeMarks && in.routeMarks->hasNearest) {
        c.text(in.routeMarks->nearestText, 270, 300);
        c.text(in.routeMarks->nextText, 270, 320);
    }
}

void smallRose(const Canvas& c, int cx, int cy, double heading)
{
    c.circle(cx - 62, cy - 56, cx + 71, cy + 74, kSmallRoseRim, 35, kSmallRoseFill);
    // The disc's middle, which the marks turn around.
    const int mx = cx + 4, my = cy + 10;
    const char* letters[] = {"N", "E", "S", "W"};
    for (int k = 0; k < 4; ++k) {
        const double t = roseAngle(k * 90, heading);
        c.text(letters[k], mx - 8 + 65 * std::cos(t), my - 15 - 65 * std::sin(t), 30, kLargeText,
               kSmallRoseRim);
    }
    c.circle(cx - 44, cy - 40, cx + 54, cy + 60, kWhite);
    for (int k = 0; k < 16; ++k)
        c.ray(mx, my, roseAngle(k * 22.5, heading), 50, 56, kWhite);
    for (int k = 0; k < 4; ++k)
        c.ray(mx, my, roseAngle(45 + k * 90, heading), 50, 62, kWhite);
    c.line(mx - 40, my, mx + 40, my, kWhite);
    c.line(mx, my - 40, mx, my + 40, kWhite);
    c.line(mx, cy - 45, mx, cy - 75, kCrossHairInner, 3);
}

// Adds a pixel to a wide line. A point on the pixel of the one before adds
// nothing; one that carries on straight in the same direction as the last
// stretch lengthens it instead: the wide pen covers the same pixels with one
// stretch as with two.
void addTrailPixel(std::vector<Point>& line, Point px)
{
    if (!line.empty() && line.back() == px)
        return;
    const std::size_t n = line.size();
    if (n >= 2) {
        const long ax = line[n - 1].x - line[n - 2].x, ay = line[n - 1].y - line[n - 2].y;
        const long bx = px.x - line[n - 1].x, by = px.y - line[n - 1].y;
        if (ax * by == ay * bx && ax * bx + ay * by > 0) {
            line.back() = px;
            return;
        }
    }
    line.push_back(px);
}

// The loaded trail around the trail view's map centre, the pen lifted at
// segment ends and at points outside the map square. With the trail's index
// the cosines are at hand and runs of points wholly north or south of the
// map are passed over; the points drawn are the same. Consecutive points on
// one pixel are drawn once.
void addGpxTrail(Scene& scene, const Trail& trail, geo::LatLon fix, double radius)
{
    const bool indexed = trail.index.size() == trail.segments.size();
    const geo::SquareBounds square = geo::squareBounds(fix, radius);
    const double south = square.south, north = square.north, lonReach = square.lonReach;
    const double west = fix.lonDeg() - lonReach, east = fix.lonDeg() + lonReach;
    for (std::size_t s = 0; s < trail.segments.size(); ++s) {
        const auto& pts = trail.segments[s];
        PolylineItem run{{}, kTrailColour, 5, kTrailImageRect};
        std::size_t drawn = 0; // points that landed in this run
        auto flush = [&] {
            // Points all on one pixel still draw it.
            if (run.points.size() == 1 && drawn >= 2)
                run.points.push_back(run.points.front());
            if (run.points.size() >= 2)
                scene.add(run);
            run.points.clear();
            drawn = 0;
        };
        for (std::size_t i = 0; i < pts.size(); ++i) {
            if (indexed && i % Trail::kChunk == 0) {
                const std::size_t k = i / Trail::kChunk;
                const Trail::SegmentIndex& ix = trail.index[s];
                if (ix.chunkMaxLat[k] < south || ix.chunkMinLat[k] > north || ix.chunkMaxLon[k] < west ||
                    ix.chunkMinLon[k] > east) {
                    flush();
                    i += Trail::kChunk - 1;
                    continue;
                }
            }
            std::optional<geo::Offset> o;
            if (indexed && pts[i] && fix) {
                const double dNorth = (pts[i].latDeg() - fix.latDeg()) * geo::kMetresPerDegreeNorth;
                // North or south of the square: no need for the east offset.
                if (!(-radius < dNorth && dNorth < radius)) {
                    flush();
                    continue;
                }
                o = geo::Offset{(pts[i].lonDeg() - fix.lonDeg()) * trail.index[s].cosLat[i] *
                                    geo::kMetresPerDegreeEast,
                                dNorth};
            } else {
                o = geo::LatLonToMetres(pts[i], fix);
            }
            const auto at = o ? geo::screenPoint(*o, radius, kTrailMapX, kTrailMapY) : std::nullopt;
            if (!at) {
                flush();
                continue;
            }
            addTrailPixel(run.points, {at->x, at->y + kTrailImageOffset});
            ++drawn;
        }
        flush();
    }
}

void trailBox(Scene& scene, const SceneInput& in, const Rect& r, int textY, std::string_view text)
{
    if (!(in.windowWidth > 750 && in.windowHeight > r.bottom))
        return;
    scene.addBox(r, kFrameGrey, in.boxBackground);
    scene.add(TextItem{std::string(cutText(text, kBoxTextLimit)), 4, textY, "Arial", 30, in.boxText,
                       in.boxBackground, r});
}

} // namespace

double roseAngle(double compassDeg, double headingDeg)
{
    double r = compassDeg - headingDeg;
    if (r < 0)
        r += 360;
    return (90 - r) * kPi / 180;
}

double compassBearing(double dEast, double dNorth)
{
    if (dEast == 0.0 && dNorth == 0.0)
        return 0.0;
    double deg = std::atan2(dEast, dNorth) * 180 / kPi;
    return deg < 0 ? deg + 360 : deg;
}

std::optional<std::string> cutRouteLabel(std::string_view text, int x, int y)
{
    if (y > 275)
        return std::nullopt;
    const int limit = y < 145 ? 600 : 750;
    if (x >= limit)
        return std::nullopt;
    const std::size_t fit = static_cast<std::size_t>((limit - x) / 7);
    if (fit == 0)
        return std::nullopt;
    return std::string(cutText(text, fit));
}

bool passedNearest(const RouteMarks& r, geo::LatLon fix)
{
    if (r.nearestIsFirst || !r.previous || !r.following || !r.nearest)
        return false;
    const double toS = lengthOf(offsetOf(r.following, fix));
    const double toP = lengthOf(offsetOf(r.previous, fix));
    const double ns = cameras::CameraDistance(r.following, r.nearest);
    const double pn = cameras::CameraDistance(r.nearest, r.previous);
    if (!(toS > 0.0) || !(ns > 0.0))
        return false;
    return pn / ns < toP / toS;
}

void addPoiView(Scene& scene, const SceneInput& in)
{
    if (!(in.windowWidth > 750 && in.windowHeight > 445))
        return;
    const Rect map{1, 123, 750, 445};
    scene.addBox(map, kFrameGrey, kBlack);
    addRoadMap(scene, in,
               {map.left + kTrailCentreDx,
                map.top + kTrailCentreDy,
                {map.left + 1, map.top + 1, map.right - 1, map.bottom - 1}});
    auto text = [&](std::string t, int x, int y) {
        scene.add(TextItem{std::move(t), x, y, kTimes, kLabelFont, kWhite, kBlack, {}});
    };
    if (in.pois)
        for (const poi::PoiPoint& p : in.pois->points()) {
            const auto o = geo::LatLonToMetres(p.position, in.fix.position);
            if (!o)
                continue;
            if (const auto at =
                    geo::screenPoint(*o, in.mapRadius, map.left + kLetterOriginDx, map.top + kLetterOriginDy))
                text("* " + p.description, at->x, at->y);
        }
    text(geo::mapRadiusLabel(in.mapRadius), 240, 380);
    text(fmt::sprintf("Lat. %f", in.fix.position.latDeg()), 10, 420);
    text(fmt::sprintf("Long. %f", in.fix.position.lonDeg()), 120, 420);
    text(gps::timeText(in.fix, in.timeZone), 240, 420);
    for (PolylineItem& l : crossHairLines(map))
        scene.add(std::move(l));
    if (in.trail)
        for (PolylineItem& l : trailPolylines(*in.trail, in.fix.position, in.mapRadius, map))
            scene.add(std::move(l));
}

void addCompassView(Scene& scene, const SceneInput& in)
{
    if (!windowLargeEnough(in))
        return;
    scene.add(FillItem{kRoseImageRect, kBlack});
    const Canvas c{scene, kRoseImageOffset, kRoseImageRect};
    addRose(c, in, 260, 330, 280);
}

void addPointerView(Scene& scene, const SceneInput& in)
{
    if (!windowLargeEnough(in))
        return;
    scene.add(FillItem{kRoseImageRect, kBlack});
    const Canvas c{scene, kRoseImageOffset, kRoseImageRect};
    addRose(c, in, 10, 310, 30);
    routeLabels(c, in, kMiniMapX, kMiniMapY);
    nearestTexts(c, in);
    const Arrows a = arrowsOf(in);
    if (a.routeDeg)
        routeArrow(c, kRoseX, kRoseY, *a.routeDeg, in.heading, a.passed, 1.0);
    if (a.targetDeg)
        targetPointer(c, kRoseX, kRoseY, *a.targetDeg, in.heading, a.passed, 1.0);
}

void addTrailView(Scene& scene, const SceneInput& in)
{
    const bool near = in.routeMarks && in.routeMarks->hasNearest;
    trailBox(scene, in, {1, 123, 750, 160}, 126, near ? in.routeMarks->nearestText : "Nearest:");
    trailBox(scene, in, {1, 162, 750, 199}, 165, near ? in.routeMarks->nextText : "Next:");
    if (!windowLargeEnough(in))
        return;
    scene.add(FillItem{kTrailImageRect, kBlack});
    const Canvas c{scene, kTrailImageOffset, kTrailImageRect};
    addRoadMap(scene, in, {kTrailMapX, kTrailMapY + kTrailImageOffset, kTrailImageRect});

    if (in.gpxTrail && in.fix.position)
        addGpxTrail(scene, *in.gpxTrail, in.fix.position, in.mapRadius);
    c.fixTrail(in, kTrailMapX, kTrailMapY);
    routeLabels(c, in, kTrailMapX, kTrailMapY);

    c.text(geo::mapRadiusLabel(in.mapRadius), 310, 10);
    fixValues(c, in, 600, 20);
    c.text(fmt::sprintf("Bearing %03.f", in.fix.courseDeg), 20, 20);
    c.text(gps::speedLabelText(in.fix.speedKnots, in.speedUnits), 20, 40);
    c.text(fmt::sprintf("Alt. %03.f metres", in.fix.altitudeM), 20, 60);

    smallRose(c, kLeftRoseX, kSmallRoseY, in.heading);
    smallRose(c, kRightRoseX, kSmallRoseY, in.heading);
    const Arrows a = arrowsOf(in);
    if (a.routeDeg)
        routeArrow(c, kRightRoseX + 4, kSmallRoseY + 10, *a.routeDeg, in.heading, a.passed, 0.5);
    if (a.targetDeg)
        targetPointer(c, kLeftRoseX + 4, kSmallRoseY + 10, *a.targetDeg, in.heading, a.passed, 0.5);
}

} // namespace varno::views
