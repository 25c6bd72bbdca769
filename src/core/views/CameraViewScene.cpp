// What the camera view draws for one repaint: boxes with texts, map letters, lines and icon slots.
#include "views/CameraViewScene.h"

#include <fmt/printf.h>

#include "base/Text.h"
#include "cameras/CameraPanel.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Presentation.h"

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

SceneText textAt(const BoxSpec& spec, std::string text)
{
    return {std::move(text), spec.rect.left + spec.textDx, spec.rect.top + spec.textDy, spec.fontHeight};
}

} // namespace

IconClass iconClassOf(std::string_view camType)
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
            return static_cast<IconClass>(k);
    }
    return IconClass::Other;
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

const SceneBox* CameraViewScene::box(BoxId id) const
{
    for (const SceneBox& b : boxes)
        if (b.id == id)
            return &b;
    if (strip && strip->id == id)
        return &*strip;
    return nullptr;
}

std::vector<IconSlot> iconSlots(const std::vector<cameras::CameraPoint>& list, double fixLat, double fixLon,
                                const Rect& averageSpeedBox)
{
    std::array<bool, kIconClassCount> present{};
    for (const cameras::CameraPoint& c : list) {
        const auto o = geo::LatLonToMetres(c.position(), geo::LatLon::ofFix(fixLat, fixLon));
        if (!o || !(o->east > -250.0 && o->east < 250.0 && o->north > -250.0 && o->north < 250.0))
            continue;
        present[static_cast<std::size_t>(iconClassOf(c.CamType))] = true;
    }
    std::vector<IconSlot> slots;
    for (std::size_t cls = 0; cls < kIconClassCount; ++cls) {
        if (!present[cls])
            continue;
        const int k = static_cast<int>(slots.size());
        slots.push_back({static_cast<IconClass>(cls),
                         averageSpeedBox.right - kIconRightInset - kIconPitch * k,
                         averageSpeedBox.top + kIconTopInset});
    }
    return slots;
}

std::vector<SceneLine> crossHairLines(const Rect& map)
{
    const int x = map.left, y = map.top;
    const int cx = x + kCrossHairDx, cy = y + kCrossHairDy;
    return {
        {x + 85, cy, x + 165, cy, kWhite},           {x + 203, cy, x + 283, cy, kWhite},
        {cx, y + 40, cx, y + 120, kWhite},           {cx, y + 160, cx, y + 240, kWhite},
        {x + 165, cy, x + 203, cy, kCrossHairInner}, {cx, y + 120, cx, y + 160, kCrossHairInner},
    };
}

std::vector<SceneLine> trailLines(const TrackRing& ring, double fixLat, double fixLon, double mapRadius,
                                  const Rect& map)
{
    std::vector<SceneLine> lines;
    if (!ring.allocated())
        return lines;
    const int centreX = map.left + kTrailCentreDx, centreY = map.top + kTrailCentreDy;
    const int last = static_cast<int>(ring.slotCount()) - 1;

    auto pass = [&](int from, int to) {
        bool penDown = false;
        geo::ScreenPoint prev;
        for (int i = from; i <= to && i <= last; ++i) {
            const TrackSlot* s = ring.slot(i);
            if (!s || s->lat == 0.0)
                continue; // an empty slot keeps the pen where it is
            const auto o =
                geo::LatLonToMetres(geo::LatLon::ofPlace(s->lat, s->lon), geo::LatLon::ofFix(fixLat, fixLon));
            if (!o)
                continue;
            const auto p = geo::screenPoint(*o, mapRadius, centreX, centreY);
            if (!p) {
                penDown = false;
                continue;
            }
            if (penDown)
                lines.push_back({prev.x, prev.y, p->x, p->y, kTrailYellow});
            prev = *p;
            penDown = true;
        }
    };
    // Newest part first (slot 0 up to and including the current index), then
    // the older part after the index. The pen is lifted between the passes.
    // The segment into the newest point is drawn too.
    pass(0, ring.index());
    pass(ring.index() + 1, ring.trackLength() - 1);
    return lines;
}

CameraViewScene buildCameraViewScene(const CameraViewInput& in)
{
    CameraViewScene scene;
    static const cameras::CameraPanelText kNoPanel{};
    static const gps::CNmeaDecoder kNoFix{};
    const cameras::CameraPanelText& panel = in.panel ? *in.panel : kNoPanel;
    const gps::CNmeaDecoder& fix = in.fix ? *in.fix : kNoFix;

    auto fits = [&](const BoxSpec& s) { return fitsWindow(s.rect, in.windowWidth, in.windowHeight); };
    auto add = [&](BoxId id, std::vector<SceneText> texts, BoxStyle style = BoxStyle::Scheme) {
        const BoxSpec& s = boxSpec(id);
        if (fits(s))
            scene.boxes.push_back({id, s.rect, style, std::move(texts)});
    };
    auto simple = [&](BoxId id, std::string text) { add(id, {textAt(boxSpec(id), std::move(text))}); };

    simple(BoxId::CameraLine, panel.camera);
    simple(BoxId::AverageSpeedLine, in.averageSpeedText);
    const BoxSpec& avg = boxSpec(BoxId::AverageSpeedLine);
    if (fits(avg) && in.cameras)
        scene.icons = iconSlots(*in.cameras, fix.Latitude, fix.Longitude, avg.rect);

    simple(BoxId::Latitude, fmt::sprintf("Lat. %f", fix.Latitude));
    simple(BoxId::Longitude, fmt::sprintf("Long. %f", fix.Longitude));
    simple(BoxId::Time, gps::timeText(fix.fix(), in.timeZone));
    simple(BoxId::SpeedLimitLabel, "Speed Limit");
    simple(BoxId::VehicleSpeedLabel, "Vehicle Speed");
    simple(BoxId::RoadLabel, "Road");
    simple(BoxId::TownLabel, "Town");
    simple(BoxId::CameraLabel, "Camera");
    add(BoxId::HazardLabel, {{"Hazard", 385, 358, 24}, {"Comment", 385, 387, 24}});
    simple(BoxId::SpeedLimitValue, panel.speedLimit);
    simple(BoxId::VehicleSpeedValue, gps::speedText(fix.SpeedKnots, in.speedUnits));
    simple(BoxId::RoadValue, panel.road);
    simple(BoxId::TownValue, panel.town);
    simple(BoxId::CameraTypeValue, panel.type);

    const BoxSpec& map = boxSpec(BoxId::Map);
    if (fits(map)) {
        scene.mapShown = true;
        add(BoxId::Map, {}, BoxStyle::Black);
        if (in.cameras) {
            const int ox = map.rect.left + kLetterOriginDx, oy = map.rect.top + kLetterOriginDy;
            for (const cameras::CameraPoint& c : *in.cameras) {
                if (c.CamType.empty())
                    continue;
                const auto o =
                    geo::LatLonToMetres(c.position(), geo::LatLon::ofFix(fix.Latitude, fix.Longitude));
                if (!o)
                    continue;
                const auto p = geo::screenPoint(*o, in.mapRadius, ox, oy);
                if (!p)
                    continue;
                scene.mapLetters.push_back(
                    {c.CamType.substr(0, firstCharLength(c.CamType)), p->x, p->y, map.fontHeight});
            }
        }
        scene.radiusLabel = SceneText{geo::mapRadiusLabel(in.mapRadius), kRadiusLabelX, kRadiusLabelY, 20};
        scene.crossHair = crossHairLines(map.rect);
        if (in.trail)
            scene.trail = trailLines(*in.trail, fix.Latitude, fix.Longitude, in.mapRadius, map.rect);
    }

    std::vector<SceneText> hazard;
    const std::array<int, 3> hazardY = {360, 389, 417};
    const std::vector<std::string> pieces = hazardPieces(panel.hazard);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        hazard.push_back({pieces[i], 480, hazardY[i], 24});
    add(BoxId::HazardValue, std::move(hazard));

    const BoxSpec& strip = boxSpec(BoxId::SentenceStrip);
    if (fits(strip)) {
        SceneBox b{BoxId::SentenceStrip, {1, 455, 770, 500}, BoxStyle::Strip, {}};
        if (in.stripText)
            b.texts.push_back(textAt(strip, *in.stripText));
        scene.strip = std::move(b);
    }
    return scene;
}

} // namespace varno::views
