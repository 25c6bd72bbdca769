// The editor's tracks drawn by their tag texts: road-class pens, name and ref
// labels, icons of amenities and points of interest, names of single nodes.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>

#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

using views::IconId;

constexpr std::uint32_t rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(r);
}

struct Pen {
    std::string_view tag;
    int width;
    std::uint32_t colour;
};

// The first tag text found anywhere in the description chooses the pen.
constexpr std::array<Pen, 7> kPens{{
    {"highway-motorway", 3, rgb(0, 223, 247)},
    {"highway-trunk", 2, rgb(0, 236, 190)},
    {"highway-primary", 3, rgb(0, 236, 190)},
    {"highway-footway", 1, rgb(246, 156, 111)},
    {"highway-cycleway", 1, rgb(251, 248, 129)},
    {"railway-rail", 1, rgb(252, 40, 185)},
    {"waterway", 1, rgb(0, 35, 240)},
}};
constexpr Pen kDefaultPen{{}, 1, rgb(0, 236, 190)};

constexpr std::uint32_t kLabelColour = rgb(0, 224, 187);
constexpr std::uint32_t kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kBlack = 0;
constexpr int kLabelHeight = 20;
constexpr int kNodeNameHeight = 18;
constexpr std::size_t kNodeNameLimit = 298;

struct IconTag {
    std::string_view tag; // a trailing ':' makes the whole value match
    std::optional<IconId> icon;
};
struct IconGroup {
    std::string_view prefix;
    std::span<const IconTag> tags;
};

constexpr IconTag kAmenity[] = {
    {"amenity-parking", IconId::Parking},
    {"amenity-toilets", IconId::Toilets},
    {"amenity-school", IconId::School},
    {"amenity-fountain", IconId::Fountain},
    {"amenity-place_of_worship", IconId::PlaceOfWorship},
    {"amenity-public_building", IconId::PublicBuilding},
    {"amenity-biergarten", IconId::Biergarten},
    {"amenity-townhall", IconId::Townhall},
    {"amenity-hospital", IconId::Hospital},
    {"amenity-grave_yard", IconId::GraveYard},
    {"amenity-university", IconId::University},
    {"amenity-restaurant", IconId::Restaurant},
    {"amenity-fast_food", IconId::FastFood},
    {"amenity-sports_ground", IconId::SportsGround},
    {"amenity-post_box", IconId::PostBox},
    {"amenity-fuel", IconId::Fuel},
    {"amenity-telephone", IconId::Telephone},
    {"amenity-pub", IconId::Pub},
};
constexpr IconTag kLeisure[] = {
    {"leisure-golf_course", IconId::Golf}, {"leisure-playground", IconId::Playground},
    {"leisure-stadium", IconId::Stadium},  {"leisure-marina", IconId::Marina},
    {"leisure-fishing", IconId::Fishing},  {"leisure-sports_centre:", std::nullopt},
};
constexpr IconTag kSport[] = {
    {"sport-10pin:", IconId::TenPin},
    {"sport-athletics:", IconId::Athletics},
    {"sport-basketball:", IconId::Basketball},
    {"sport-bowling:", IconId::Bowling},
    {"sport-bowls:", IconId::Bowls},
    {"sport-football:", IconId::Football},
    {"sport-golf:", IconId::Golf},
    {"sport-ice_skating:", IconId::IceSkating},
    {"sport-pavillion:", IconId::Swimming},
    {"sport-rowing:", IconId::Rowing},
    {"sport-Rugby:", IconId::Rugby},
    {"sport-skateboard:", IconId::Skateboard},
    {"sport-skating:", IconId::Skating},
    {"sport-squash:", IconId::Squash},
    {"sport-swimming", IconId::Swimming},
    {"sport-tennis:", IconId::Tennis},
};
constexpr IconTag kRailway[] = {{"railway-station:", IconId::Station},
                                {"railway-crossing:", IconId::LevelCrossing}};
constexpr IconTag kHighway[] = {{"highway-speed_camera:", IconId::SpeedCamera}};
constexpr IconTag kWaterway[] = {{"waterway-lock:", IconId::Lock},
                                 {"waterway-lock_gate:", IconId::Lock},
                                 {"waterway-weir:", IconId::Weir}};
constexpr IconTag kHistoric[] = {
    {"historic-memorial:", IconId::Memorial},
    {"historic-castle:", IconId::Castle},
    {"historic-monument:", IconId::Monument},
    {"historic-fort:", IconId::Fort},
    {"historic-folly:", IconId::Castle},
    {"historic-well:", IconId::Well},
    {"historic-building:", IconId::HistoricBuilding},
    {"historic-statue:", IconId::Statue},
    {"historic-windmill:", IconId::Windmill},
    {"historic-archaeological_site:", IconId::Castle},
    {"historic-ruins:", IconId::Ruins},
    {"historic-Museum:", IconId::Museum},
    {"historic-house:", IconId::House},
    {"historic-pier:", IconId::Pier},
    {"historic-ferris_wheel:", IconId::FerrisWheel},
};
constexpr IconGroup kIconGroups[] = {
    {"amenity-", kAmenity}, {"leisure-", kLeisure},   {"sport-", kSport},       {"railway-", kRailway},
    {"highway-", kHighway}, {"waterway-", kWaterway}, {"historic-", kHistoric},
};

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

const Pen& penFor(const std::optional<std::string>& description)
{
    if (description)
        for (const Pen& pen : kPens)
            if (contains(*description, pen.tag))
                return pen;
    return kDefaultPen;
}

// The first class found in the first group that has one; a match without a
// picture (a sports centre) ends the search too.
std::optional<IconId> iconFor(std::string_view description)
{
    for (const IconGroup& group : kIconGroups) {
        if (!contains(description, group.prefix))
            continue;
        for (const IconTag& t : group.tags)
            if (contains(description, t.tag))
                return t.icon;
    }
    return std::nullopt;
}

// The text after key up to the next ':' (or the end).
std::optional<std::string_view> tagValue(std::string_view description, std::string_view key)
{
    const auto at = description.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = description.substr(at + key.size());
    return rest.substr(0, rest.find(':'));
}

void eraseFirst(std::string& text, std::string_view what)
{
    if (const auto at = text.find(what); at != std::string::npos)
        text.erase(at, what.size());
}

// "source-…:" or "source:…:" and what follows up to its separator.
void eraseSource(std::string& text, std::string_view what)
{
    const auto at = text.find(what);
    if (at == std::string::npos)
        return;
    auto end = text.find(':', at + what.size());
    if (end == std::string::npos)
        end = text.find(';', at + what.size());
    text.erase(at, end == std::string::npos ? what.size() : end + 1 - at);
}

void replaceFirst(std::string& text, std::string_view what, std::string_view with)
{
    if (const auto at = text.find(what); at != std::string::npos)
        text.replace(at, what.size(), with);
}

} // namespace

std::string nodeNameText(std::string_view description)
{
    if (!description.starts_with("Node"))
        return {};
    const auto first = description.find(':');
    const auto second = first == std::string_view::npos ? first : description.find(':', first + 1);
    if (second == std::string_view::npos)
        return {};
    std::string text(description.substr(second + 1, kNodeNameLimit));
    if (contains(text, "openGeoDB"))
        return {};
    eraseFirst(text, "name-");
    eraseFirst(text, "amenity-");
    eraseSource(text, "source-");
    eraseSource(text, "source:");
    replaceFirst(text, "&amp;", "&");
    replaceFirst(text, "&apos;", "'");
    return text;
}

void drawTracks(views::Scene& scene, const EditorProjection& pr, std::span<const TrackEntry> entries,
                const TrackDisplayFlags& flags)
{
    const int top = EditorProjection::kMapTop;
    const int w = pr.width;
    // Entries some point of which may be on screen, with their first point.
    struct Shown {
        const TrackEntry* entry;
        views::Point first;
    };
    std::vector<Shown> shown;
    for (const TrackEntry& e : entries) {
        if (!e.loaded || e.points.empty())
            continue;
        // A segment is drawn only with an end on screen on each axis, and
        // labels, icons and names only at a point on screen: an entry whose
        // extent misses the screen on one axis draws nothing.
        if (!e.extent.empty) {
            const double cosA = std::cos(e.extent.minLatDeg * 0.017453292519943295);
            const double cosB = std::cos(e.extent.maxLatDeg * 0.017453292519943295);
            const double cosMax =
                e.extent.minLatDeg <= 0 && e.extent.maxLatDeg >= 0 ? 1.0 : std::max(cosA, cosB);
            const double cosMin = std::min(cosA, cosB);
            const double k = 111319.2 * pr.scale;
            const double dl = (e.extent.minLonDeg - pr.leftLonDeg) * k;
            const double dr = (e.extent.maxLonDeg - pr.leftLonDeg) * k;
            const double xMin = std::min({dl * cosMin, dl * cosMax, dr * cosMin, dr * cosMax});
            const double xMax = std::max({dl * cosMin, dl * cosMax, dr * cosMin, dr * cosMax});
            const double yMin = (pr.topLatDeg - e.extent.maxLatDeg) * 111248.4 * pr.scale;
            const double yMax = (pr.topLatDeg - e.extent.minLatDeg) * 111248.4 * pr.scale;
            if (xMax < 0 || xMin >= w - 20 + 1 || yMax < 0 || yMin >= pr.height - 150 + 1)
                continue;
        }
        const Pen& pen = penFor(e.description);
        views::PolylineItem line;
        line.colour = pen.colour;
        line.width = pen.width;
        views::Point prev{pr.x(e.points[0].latDeg, e.points[0].lonDeg), pr.y(e.points[0].latDeg)};
        const views::Point first = prev;
        views::Point last = prev;
        for (std::size_t i = 1; i < e.points.size(); ++i) {
            const views::Point p{pr.x(e.points[i].latDeg, e.points[i].lonDeg), pr.y(e.points[i].latDeg)};
            last = p;
            // A point on the pixel of the one before adds nothing to the picture.
            if (p == prev)
                continue;
            if ((pr.onScreenX(prev.x) || pr.onScreenX(p.x)) && (pr.onScreenY(prev.y) || pr.onScreenY(p.y))) {
                if (line.points.empty())
                    line.points.push_back({prev.x, prev.y + top});
                line.points.push_back({p.x, p.y + top});
            } else if (!line.points.empty()) {
                scene.add(line);
                line.points.clear();
            }
            prev = p;
        }
        if (!line.points.empty())
            scene.add(std::move(line));
        shown.push_back({&e, first});

        if (!e.description || !(flags.roadNames || flags.roadRef))
            continue;
        if (!(5 < last.x && last.x < w - 100 && 140 < last.y + top && last.y + top < pr.height - 40))
            continue;
        auto label = [&](std::string text) {
            views::TextItem t;
            t.text = std::move(text);
            t.x = last.x;
            t.y = last.y + top;
            t.cellHeight = kLabelHeight;
            t.colour = kLabelColour;
            t.background = kBlack;
            scene.add(std::move(t));
        };
        if (flags.roadNames)
            if (const auto name = tagValue(*e.description, "name-"))
                label(std::string(*name));
        if (flags.roadRef)
            if (const auto ref = tagValue(*e.description, "ref-"))
                label("[" + std::string(*ref) + "]");
    }

    auto onScreen = [&](views::Point p) { return pr.onScreenX(p.x) && pr.onScreenY(p.y); };
    if (flags.icons)
        for (const Shown& s : shown)
            if (s.entry->description && onScreen(s.first))
                if (const auto icon = iconFor(*s.entry->description))
                    scene.add(views::IconItem{*icon, s.first.x, s.first.y + top});
    if (flags.nodeNames)
        for (const Shown& s : shown) {
            if (!s.entry->description || !onScreen(s.first))
                continue;
            std::string text = nodeNameText(*s.entry->description);
            if (text.empty())
                continue;
            views::TextItem t;
            t.text = std::move(text);
            t.x = s.first.x + 40;
            t.y = s.first.y + top;
            t.cellHeight = kNodeNameHeight;
            t.colour = kWhite;
            t.background = kBlack;
            scene.add(std::move(t));
        }
}

} // namespace varno::trackedit
