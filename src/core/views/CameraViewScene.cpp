// The camera view's parts of a scene: the top lines, the dashboard with its map, and the sentence strip.
#include "views/CameraViewScene.h"

#include <algorithm>
#include <cmath>
#include <fmt/printf.h>

#include "base/Text.h"
#include "cameras/CameraPanel.h"
#include "geo/MapGeometry.h"
#include "gps/Presentation.h"
#include "views/RoadLayer.h"

namespace varno::views {
namespace {

constexpr std::array<std::string_view, 8> kIconPrefixes = {"MOBIL", "GATSO", "REDLI", "MONIT",
                                                           "REDSP", "SPECS", "TEMPO", "TRUVE"};
constexpr std::size_t kHazardPiece = 19;

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Length of the UTF-8 sequence that starts text, at least one byte.
std::size_t firstCharLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    n = std::min(n, text.size());
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

const cameras::CameraPanelText& panelOf(const SceneInput& in)
{
    static const cameras::CameraPanelText kNoPanel{};
    return in.panel ? *in.panel : kNoPanel;
}

bool fits(const BoxSpec& s, const SceneInput& in)
{
    return fitsWindow(s.rect, in.windowWidth, in.windowHeight);
}

// A scheme box, framed grey, with its texts in the scheme colours, clipped to it.
struct TextAt {
    std::string text;
    int x, y;
};

void schemeBox(Scene& scene, const SceneInput& in, BoxId id, std::vector<TextAt> texts)
{
    const BoxSpec& s = boxSpec(id);
    if (!fits(s, in))
        return;
    scene.addBox(s.rect, kFrameGrey, in.boxBackground);
    for (TextAt& t : texts)
        scene.add(TextItem{std::move(t.text), t.x, t.y, "Times New Roman", s.fontHeight, in.boxText,
                           in.boxBackground, s.rect});
}

// A box with one text at its layout origin.
void simpleBox(Scene& scene, const SceneInput& in, BoxId id, std::string text)
{
    const BoxSpec& s = boxSpec(id);
    schemeBox(scene, in, id, {{std::move(text), s.rect.left + s.textDx, s.rect.top + s.textDy}});
}

PolylineItem line(int x1, int y1, int x2, int y2, std::uint32_t colour, const Rect& clip)
{
    return {{{x1, y1}, {x2, y2}}, colour, 0, clip};
}

void addMap(Scene& scene, const SceneInput& in)
{
    const BoxSpec& map = boxSpec(BoxId::Map);
    const geo::LatLon fix = in.fix.position;
    scene.addBox(map.rect, kBlack, kBlack);
    // The road map first, inside the frame: letters, cross-hair and trail go over it.
    addRoadMap(scene, in,
               {map.rect.left + kTrailCentreDx,
                map.rect.top + kTrailCentreDy,
                {map.rect.left + 1, map.rect.top + 1, map.rect.right - 1, map.rect.bottom - 1}});
    auto letter = [&](std::string text, int x, int y) {
        scene.add(
            TextItem{std::move(text), x, y, "Times New Roman", map.fontHeight, kWhite, kNoColour, map.rect});
    };
    if (in.cameras) {
        const int ox = map.rect.left + kLetterOriginDx, oy = map.rect.top + kLetterOriginDy;
        for (const cameras::CameraPoint& c : *in.cameras) {
            if (c.CamType.empty())
                continue;
            const auto o = geo::LatLonToMetres(c.position(), fix);
            if (!o)
                continue;
            const auto p = geo::screenPoint(*o, in.mapRadius, ox, oy);
            if (!p)
                continue;
            letter(c.CamType.substr(0, firstCharLength(c.CamType)), p->x, p->y);
        }
    }
    letter(geo::mapRadiusLabel(in.mapRadius), kRadiusLabelX, kRadiusLabelY);
    for (PolylineItem& l : crossHairLines(map.rect))
        scene.add(std::move(l));
    if (in.trail)
        for (PolylineItem& l : trailPolylines(*in.trail, fix, in.mapRadius, map.rect))
            scene.add(std::move(l));
}

// Places points around a fix on the map as geo::LatLonToMetres and
// geo::screenPoint do, pixel for pixel, without a cosine per point: the
// cosine of a point's latitude comes from the fix's by Taylor's formula, and
// only a point whose pixel that error could change is placed the exact way.
class NearFix {
public:
    NearFix(geo::LatLon fix, double radius, int centreX, int centreY)
        : fix_(fix), radius_(radius), cx_(centreX), cy_(centreY),
          cos_(std::cos(fix.latDeg() * geo::kDegToRad)), sin_(std::sin(fix.latDeg() * geo::kDegToRad))
    {
    }

    std::optional<Point> place(double lat, double lon) const
    {
        const double d = (lat - fix_.latDeg()) * geo::kDegToRad;
        const double dLon = lon - fix_.lonDeg();
        // The remainder of the second-order formula, and the rounding of both ways.
        const double cosError = std::fabs(d * d * d) / 6.0 + 1e-14;
        const double east = dLon * (cos_ - sin_ * d - cos_ * d * d * 0.5) * geo::kMetresPerDegreeEast;
        const double eastError = 2.0 * (std::fabs(dLon) * geo::kMetresPerDegreeEast * cosError) + 1e-9;
        const geo::Offset o{east, (lat - fix_.latDeg()) * geo::kMetresPerDegreeNorth};
        const bool surelyIn = std::fabs(east) + eastError < radius_;
        const bool surelyOut = std::fabs(east) - eastError >= radius_;
        if (surelyOut)
            return std::nullopt;
        if (surelyIn) {
            // The north offset is the exact one; only x may be in doubt.
            const auto p = geo::screenPoint({0.0, o.north}, radius_, cx_, cy_);
            if (!p)
                return std::nullopt;
            const int lo = column(east - eastError), hi = column(east + eastError);
            if (lo == hi)
                return Point{dLon == 0.0 ? cx_ : lo, p->y};
        }
        const auto exact = geo::LatLonToMetres(geo::LatLon(lat, lon), fix_);
        const auto p = exact ? geo::screenPoint(*exact, radius_, cx_, cy_) : std::nullopt;
        if (!p)
            return std::nullopt;
        return Point{p->x, p->y};
    }

private:
    int column(double east) const { return static_cast<int>(cx_ + east * geo::kPixelsPerRadiusX / radius_); }

    geo::LatLon fix_;
    double radius_;
    int cx_, cy_;
    double cos_, sin_;
};

} // namespace

IconId iconClassOf(std::string_view camType)
{
    const std::string_view head = camType.substr(0, 5);
    for (std::size_t k = 0; k < kIconPrefixes.size(); ++k) {
        const std::string_view p = kIconPrefixes[k];
        if (head.size() != p.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < p.size() && same; ++i)
            same = upper(head[i]) == p[i];
        if (same)
            return static_cast<IconId>(k);
    }
    return IconId::Other;
}

std::vector<std::string> hazardPieces(std::string_view hazard)
{
    std::vector<std::string> pieces;
    while (pieces.size() < 3) {
        if (!pieces.empty() && hazard.empty())
            break;
        std::string_view piece = cutText(hazard, kHazardPiece);
        // A sequence wider than the piece would stall the cut; take it whole.
        if (piece.empty() && !hazard.empty())
            piece = hazard.substr(0, firstCharLength(hazard));
        pieces.emplace_back(piece);
        hazard.remove_prefix(piece.size());
    }
    return pieces;
}

std::vector<std::string> boxTexts(const Scene& scene, BoxId id)
{
    std::vector<std::string> out;
    for (const TextItem* t : scene.textsIn(boxSpec(id).rect))
        out.push_back(t->text);
    return out;
}

std::vector<IconItem> iconItems(const std::vector<cameras::CameraPoint>& list, geo::LatLon fix,
                                const Rect& averageSpeedBox)
{
    std::array<bool, kIconIdCount> present{};
    for (const cameras::CameraPoint& c : list) {
        const auto o = geo::LatLonToMetres(c.position(), fix);
        if (!o || !(o->east > -250.0 && o->east < 250.0 && o->north > -250.0 && o->north < 250.0))
            continue;
        present[static_cast<std::size_t>(iconClassOf(c.CamType))] = true;
    }
    std::vector<IconItem> icons;
    for (std::size_t cls = 0; cls < kIconIdCount; ++cls) {
        if (!present[cls])
            continue;
        const int k = static_cast<int>(icons.size());
        icons.push_back({static_cast<IconId>(cls), averageSpeedBox.right - kIconRightInset - kIconPitch * k,
                         averageSpeedBox.top + kIconTopInset});
    }
    return icons;
}

std::vector<PolylineItem> crossHairLines(const Rect& map)
{
    const int x = map.left, y = map.top;
    const int cx = x + kCrossHairDx, cy = y + kCrossHairDy;
    return {
        line(x + 85, cy, x + 165, cy, kWhite, map),
        line(x + 203, cy, x + 283, cy, kWhite, map),
        line(cx, y + 40, cx, y + 120, kWhite, map),
        line(cx, y + 160, cx, y + 240, kWhite, map),
        line(x + 165, cy, x + 203, cy, kCrossHairInner, map),
        line(cx, y + 120, cx, y + 160, kCrossHairInner, map),
    };
}

std::vector<PolylineItem> trailPolylines(const TrackRing& ring, geo::LatLon fix, double mapRadius,
                                         const Rect& map)
{
    std::vector<PolylineItem> runs;
    if (!ring.allocated() || !fix)
        return runs;
    const int centreX = map.left + kTrailCentreDx, centreY = map.top + kTrailCentreDy;
    const int last = static_cast<int>(ring.slotCount()) - 1;

    // Most slots lie off the map: a slot whose latitude alone puts it outside
    // the square, or whose longitude does at the smallest cosine of the
    // latitudes the square spans, is known to be off without its own cosine.
    // The margins only let a few more through to the exact test below.
    const geo::SquareBounds square = geo::squareBounds(fix, mapRadius);
    const double south = square.south, north = square.north, lonReach = square.lonReach;

    const NearFix near(fix, mapRadius, centreX, centreY);
    std::vector<Point> run;
    // Slots drawn into the run, so a run whose points all share one pixel
    // still draws that pixel.
    std::size_t drawn = 0;
    auto liftPen = [&] {
        if (run.size() == 1 && drawn >= 2)
            run.push_back(run.front());
        if (run.size() >= 2)
            runs.push_back({std::move(run), kTrailYellow, 0, map});
        run.clear();
        drawn = 0;
    };
    auto pass = [&](int from, int to) {
        for (int i = from; i <= to && i <= last; ++i) {
            const TrackSlot* s = ring.slot(i);
            if (!s || s->lat == 0.0 || s->lon == 0.0)
                continue; // an empty slot keeps the pen where it is
            // Outside the square for sure (also NaN): the pen lifts.
            if (!(s->lat > south && s->lat < north && std::fabs(s->lon - fix.lonDeg()) < lonReach)) {
                liftPen();
                continue;
            }
            const std::optional<Point> p = near.place(s->lat, s->lon);
            if (!p) {
                liftPen();
                continue;
            }
            // A point on the pixel of the one before adds nothing to the line.
            const Point px = *p;
            ++drawn;
            if (run.empty() || !(run.back() == px))
                run.push_back(px);
        }
        liftPen();
    };
    // Newest part first (slot 0 up to and including the current index), then
    // the older part after the index. The pen is lifted between the passes.
    // The segment into the newest point is drawn too.
    pass(0, ring.index());
    pass(ring.index() + 1, ring.trackLength() - 1);
    return runs;
}

std::uint32_t overLimitTextColour(const SceneInput& in)
{
    return in.night ? kOverLimitAmber : kOverLimitRed;
}

void addTopLines(Scene& scene, const SceneInput& in)
{
    // A line that shows speeding is drawn in the over-limit colour.
    auto lineBox = [&](BoxId id, std::string text, bool over) {
        if (!over) {
            simpleBox(scene, in, id, std::move(text));
            return;
        }
        SceneInput red = in;
        red.boxText = overLimitTextColour(in);
        simpleBox(scene, red, id, std::move(text));
    };
    if (in.noFix)
        simpleBox(scene, in, BoxId::CameraLine, std::string(kNoFixText));
    else
        lineBox(BoxId::CameraLine, panelOf(in).camera, in.distanceOverLimit);
    lineBox(BoxId::AverageSpeedLine, in.averageSpeedText, in.averageOverLimit);
    const BoxSpec& avg = boxSpec(BoxId::AverageSpeedLine);
    if (fits(avg, in) && in.cameras)
        for (const IconItem& icon : iconItems(*in.cameras, in.fix.position, avg.rect))
            scene.add(icon);
}

void addCameraDashboard(Scene& scene, const SceneInput& in)
{
    const gps::Fix& fix = in.fix;
    const cameras::CameraPanelText& panel = panelOf(in);
    // Without a fix the last position stays in place, greyed as stale.
    SceneInput stale = in;
    if (in.noFix)
        stale.boxText = kStaleGrey;
    simpleBox(scene, stale, BoxId::Latitude, fmt::sprintf("Lat. %f", fix.position.latDeg()));
    simpleBox(scene, stale, BoxId::Longitude, fmt::sprintf("Long. %f", fix.position.lonDeg()));
    simpleBox(scene, in, BoxId::Time, gps::timeText(fix, in.timeZone));
    simpleBox(scene, in, BoxId::SpeedLimitLabel, "Speed Limit");
    simpleBox(scene, in, BoxId::VehicleSpeedLabel, "Vehicle Speed");
    simpleBox(scene, in, BoxId::RoadLabel, "Road");
    simpleBox(scene, in, BoxId::TownLabel, "Town");
    simpleBox(scene, in, BoxId::CameraLabel, "Camera");
    schemeBox(scene, in, BoxId::HazardLabel, {{"Hazard", 385, 358}, {"Comment", 385, 387}});
    simpleBox(scene, in, BoxId::SpeedLimitValue, panel.speedLimit);
    if (in.overLimit) {
        SceneInput red = in;
        red.boxBackground = overLimitTextColour(in);
        if (in.night)
            red.boxText = kBlack; // the night scheme's light text would vanish on amber
        simpleBox(scene, red, BoxId::VehicleSpeedValue, gps::speedText(fix.speedKnots, in.speedUnits));
    } else {
        simpleBox(scene, in, BoxId::VehicleSpeedValue, gps::speedText(fix.speedKnots, in.speedUnits));
    }
    simpleBox(scene, in, BoxId::RoadValue, panel.road);
    simpleBox(scene, in, BoxId::TownValue, panel.town);
    simpleBox(scene, in, BoxId::CameraTypeValue, panel.type);
    if (fits(boxSpec(BoxId::Map), in))
        addMap(scene, in);

    std::vector<TextAt> hazard;
    const std::array<int, 3> hazardY = {360, 389, 417};
    const std::vector<std::string> pieces = hazardPieces(panel.hazard);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        hazard.push_back({pieces[i], 480, hazardY[i]});
    schemeBox(scene, in, BoxId::HazardValue, std::move(hazard));
}

void addSentenceStrip(Scene& scene, const SceneInput& in)
{
    const BoxSpec& strip = boxSpec(BoxId::SentenceStrip);
    if (!fits(strip, in))
        return;
    // The box is a pixel shorter than the space it needs in the window.
    const Rect r{strip.rect.left, strip.rect.top, strip.rect.right, strip.rect.bottom - 1};
    scene.addBox(r, kFrameGrey, kBlack);
    if (!in.stripText)
        return;
    // The day scheme's text is black, which would vanish on the black strip.
    const std::uint32_t colour = in.boxText == kBlack ? kWhite : in.boxText;
    scene.add(TextItem{*in.stripText, kStripTextX, kStripTextY, "Times New Roman", strip.fontHeight, colour,
                       kBlack, Rect{}});
}

} // namespace varno::views
