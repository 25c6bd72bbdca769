// The editor's tracks drawn by their tag texts: pens, labels, icons, node
// names, painting order, and what is left out off screen.
#include <cmath>
#include <random>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

using views::IconId;

// 1024 x 768 with the origin at 0 N 0 E and one pixel a metre: on screen
// are 0 < x < 1004 and 0 < y < 618.
const EditorProjection kScreen{0.0, 0.0, 1.0, 1024, 768};

// A position that lands on the middle of pixel (x, y) (y untranslated;
// projections truncate toward zero).
TrackPoint at(int x, int y)
{
    auto middle = [](int v) { return v >= 0 ? v + 0.5 : v - 0.5; };
    const double lat = -middle(y) / 111248.4;
    return {lat, middle(x) / (std::cos(lat * 0.017453292519943295) * 111319.2)};
}

TrackEntry entry(std::optional<std::string> description, std::vector<TrackPoint> points)
{
    TrackEntry e;
    e.description = std::move(description);
    e.loaded = true;
    e.points = std::move(points);
    e.updateExtent();
    return e;
}

views::Scene draw(const std::vector<TrackEntry>& entries, TrackDisplayFlags flags = {})
{
    views::Scene scene;
    drawTracks(scene, kScreen, entries, flags);
    return scene;
}

// Copies of the items of one kind: they outlive the scene.
template <class Item>
std::vector<Item> drawn(const std::vector<TrackEntry>& entries, TrackDisplayFlags flags = {})
{
    const views::Scene scene = draw(entries, flags);
    std::vector<Item> out;
    for (const Item* item : scene.all<Item>())
        out.push_back(*item);
    return out;
}

TEST(TagRendering, RoadClassPenIsTheFirstTagTextInOrder)
{
    const std::tuple<std::optional<std::string>, int, std::uint32_t> cases[] = {
        {"OSM:1:highway-motorway:", 3, 0xF7DF00},
        {"OSM:1:highway-motorway_link:", 3, 0xF7DF00}, // a substring test
        {"OSM:1:highway-trunk:", 2, 0xBEEC00},
        {"OSM:1:waterway-river:highway-primary:", 3, 0xBEEC00}, // table order, not text order
        {"OSM:1:waterway-river:", 1, 0xF02300},
        {"OSM:1:Highway-Motorway:", 1, 0xBEEC00}, // case-sensitive
        {std::nullopt, 1, 0xBEEC00},
    };
    for (const auto& [description, width, colour] : cases) {
        const auto lines = drawn<views::PolylineItem>({entry(description, {at(100, 100), at(200, 150)})});
        ASSERT_EQ(lines.size(), 1u) << description.value_or("(none)");
        EXPECT_EQ(std::pair(lines[0].width, lines[0].colour), std::pair(width, colour))
            << description.value_or("(none)");
        EXPECT_EQ(lines[0].points, (std::vector<views::Point>{{100, 234}, {200, 284}}));
    }
}

TEST(TagRendering, SegmentsNeedAnEndOnScreenOnEachAxis)
{
    const std::tuple<int, int, int, int, bool> cases[] = {
        {-50, 10, 20, -40, true},  // x from the second end, y from the first
        {-50, 10, -20, 20, false}, // neither end on screen on x
        {10, 700, 20, 618, false}, // 618 is off screen on y
        {1004, 10, 1010, 20, false}, {1003, 617, 1010, 900, true}, {0, 10, 0, 20, false},
    };
    for (const auto& [x1, y1, x2, y2, shown] : cases)
        EXPECT_EQ(drawn<views::PolylineItem>({entry("OSM:1:", {at(x1, y1), at(x2, y2)})}).size(),
                  shown ? 1u : 0u)
            << x1 << "," << y1 << " - " << x2 << "," << y2;
    // A stretch off screen splits the polyline in two.
    const auto lines = drawn<views::PolylineItem>(
        {entry("OSM:1:", {at(10, 10), at(20, 10), at(-30, -30), at(-40, -30), at(30, 30)})});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<views::Point>{{10, 144}, {20, 144}, {-30, 104}}));
    EXPECT_EQ(lines[1].points, (std::vector<views::Point>{{-40, 104}, {30, 164}}));
}

TEST(TagRendering, NameAndRefLabelsAtTheLastPointWhereTheyFit)
{
    const std::string road = "OSM:1:highway-primary:name-High Street:ref-A4:";
    const std::vector<std::string> both{"High Street", "[A4]"};
    const std::tuple<std::string, bool, bool, int, int, std::vector<std::string>> cases[] = {
        {road, true, true, 300, 200, both}, {road, false, true, 300, 200, {"[A4]"}},
        {road, false, false, 300, 200, {}}, {"OSM:1:ref-A4", true, true, 300, 200, {"[A4]"}},
        {road, true, true, 5, 200, {}},     {road, true, true, 6, 200, both},   // 5 < x
        {road, true, true, 924, 200, {}},   {road, true, true, 923, 200, both}, // x < W - 100
        {road, true, true, 300, 6, {}},     {road, true, true, 300, 7, both},   // 140 < y + 134
        {road, true, true, 300, 594, {}},   {road, true, true, 300, 593, both}, // y + 134 < H - 40
    };
    for (const auto& [description, names, refs, x, y, want] : cases) {
        std::vector<std::string> texts;
        for (const views::TextItem& t : drawn<views::TextItem>({entry(description, {at(100, 100), at(x, y)})},
                                                               {.roadNames = names, .roadRef = refs})) {
            texts.push_back(t.text);
            EXPECT_EQ(std::tuple(t.x, t.y, t.cellHeight, t.colour, t.background),
                      std::tuple(x, y + 134, 20, 0xBBE000u, 0u));
        }
        EXPECT_EQ(texts, want) << description << " at " << x << "," << y;
    }
}

TEST(TagRendering, IconClassByGroupThenFirstMatch)
{
    const std::pair<std::string, std::optional<IconId>> cases[] = {
        {"amenity-public_building:", IconId::PublicBuilding}, // tested before "amenity-pub"
        {"amenity-fuel:amenity-parking:", IconId::Parking},   // the group's order decides
        {"amenity-cafe:", std::nullopt},
        {"leisure-golf_course:", IconId::Golf}, // one picture with "sport-golf:"
        {"sport-golfing:", std::nullopt},       // the ':' makes the whole value match
        {"sport-swimming_pool:", IconId::Swimming},
        {"sport-rugby:", std::nullopt},                        // case-sensitive: "sport-Rugby:"
        {"sport-tennis:amenity-toilets:", IconId::Toilets},    // amenity is tried first
        {"amenity-cafe:sport-tennis:", IconId::Tennis},        // a group without a match passes on
        {"leisure-sports_centre:sport-tennis:", std::nullopt}, // a sports centre draws nothing
        {"leisure-sports_centre_x:sport-tennis:", IconId::Tennis},
        {"highway-speed_camera:", IconId::SpeedCamera},
    };
    for (const auto& [tags, icon] : cases) {
        const auto icons = drawn<views::IconItem>({entry("Node:1:" + tags, {at(50, 60)})}, {.icons = true});
        ASSERT_EQ(icons.size(), icon ? 1u : 0u) << tags;
        if (icon) {
            EXPECT_EQ(std::tuple(icons[0].icon, icons[0].x, icons[0].y), std::tuple(*icon, 50, 194)) << tags;
        }
    }
    // Only at a first point on screen on both axes, and only when asked for.
    EXPECT_TRUE(draw({entry("Node:1:amenity-pub:", {at(50, 700)})}, {.icons = true}).items.empty());
    EXPECT_TRUE(draw({entry("Node:1:amenity-pub:", {at(50, 60)})}).items.empty());
}

TEST(TagRendering, NodeNamesCleaned)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Node:5:amenity-pub:name-The Bell:", "pub:The Bell:"},
        {"Node:5:name-A:source-survey:name-B:", "A:name-B:"}, // only the first of each
        {"Node:5:source-survey;gps", "gps"},                  // ';' only without a ':'
        {"Node:5:name-A:source-", "A:"},
        {"Node:5:source:date-2009:name-C:", "C:"},
        {"Node:5:name-Fish &amp; Chips &amp; Peas:", "Fish & Chips &amp; Peas:"},
        {"Node:5:name-Bob&apos;s:", "Bob's:"},
        {"Node:5:name-X:is_in-openGeoDB:", ""},
        {"Node:5", ""},
        {"OSM:5:name-High Street:", ""},
        {"Node:5:" + std::string(400, 'n'), std::string(298, 'n')},
    };
    for (const auto& [description, cleaned] : cases)
        EXPECT_EQ(nodeNameText(description), cleaned) << description;
}

TEST(TagRendering, PolylinesAndLabelsThenIconsThenNodeNames)
{
    const std::vector<TrackEntry> entries = {
        entry("Node:1:amenity-pub:name-The Bell:", {at(50, 60)}),
        entry("OSM:2:highway-primary:name-High Street:", {at(100, 100), at(200, 200)}),
        entry("Node:3:amenity-fuel:name-Pumps:", {at(300, 60)}),
        entry("Node:4:name-Off Screen:", {at(1010, 60)}),
        entry("Node:5:", {at(50, 60)}),
    };
    std::vector<std::string> order;
    for (const views::SceneItem& item :
         draw(entries, {.roadNames = true, .icons = true, .nodeNames = true}).items)
        if (const auto* t = std::get_if<views::TextItem>(&item))
            order.push_back(
                fmt::format("text {} {},{} {} {:x}", t->text, t->x, t->y, t->cellHeight, t->colour));
        else if (const auto* i = std::get_if<views::IconItem>(&item))
            order.push_back(fmt::format("icon {} {},{}", static_cast<int>(i->icon), i->x, i->y));
        else
            order.push_back("line");
    // Single nodes have road names too ("name-" is a plain substring test) but no line.
    const int pub = static_cast<int>(IconId::Pub), fuel = static_cast<int>(IconId::Fuel);
    const std::vector<std::string> expected = {
        "text The Bell 50,194 20 bbe000",      "line",
        "text High Street 200,334 20 bbe000",  "text Pumps 300,194 20 bbe000",
        fmt::format("icon {} 50,194", pub),    fmt::format("icon {} 300,194", fuel),
        "text pub:The Bell: 90,194 18 ffffff", "text fuel:Pumps: 340,194 18 ffffff"};
    EXPECT_EQ(order, expected);
}

// Entries are passed over by their extent and points on one pixel are
// dropped: neither may change the picture. The same entries without an
// extent (never culled) must draw exactly the same lines.
TEST(TagRendering, CullingAndPixelDroppingKeepThePicture)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(51.0, 51.2), lon(-1.2, -1.0), step(-0.0004, 0.0004);
    std::vector<TrackEntry> culled;
    for (int i = 0; i < 300; ++i) {
        std::vector<TrackPoint> points{{lat(rng), lon(rng)}};
        for (int k = 1 + static_cast<int>(rng() % 40); k > 1; --k)
            points.push_back({points.back().latDeg + step(rng), points.back().lonDeg + step(rng)});
        culled.push_back(entry(fmt::format("Node:{}:amenity-pub:name-N{}:ref-R:", i, i), std::move(points)));
    }
    std::vector<TrackEntry> whole = culled;
    for (TrackEntry& e : whole)
        e.extent = {};
    for (const double scale : {0.0005, 0.004, 0.02, 0.3}) {
        const EditorProjection pr{-1.15, 51.15, scale, 1024, 768};
        views::Scene a, b;
        drawTracks(a, pr, culled, {true, true, true, true});
        drawTracks(b, pr, whole, {true, true, true, true});
        ASSERT_EQ(a.items.size(), b.items.size()) << scale;
        EXPECT_GT(a.items.size(), 0u) << scale;
        for (std::size_t i = 0; i < a.items.size(); ++i) {
            const auto* la = std::get_if<views::PolylineItem>(&a.items[i]);
            const auto* lb = std::get_if<views::PolylineItem>(&b.items[i]);
            ASSERT_EQ(la != nullptr, lb != nullptr);
            if (la) {
                EXPECT_EQ(la->points, lb->points);
            }
        }
    }
}

} // namespace
} // namespace varno::trackedit
