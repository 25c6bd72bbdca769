// The editor's tracks drawn by their tag texts: pens, labels, icons, node
// names, painting order, and what is left out off screen.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

using views::IconId;

// 1024 x 768 with the origin at 0 N 0 E and one pixel a metre.
EditorProjection screen()
{
    EditorProjection pr;
    pr.scale = 1.0;
    pr.width = 1024;
    pr.height = 768;
    return pr;
}

// A position that lands on the middle of pixel (x, y) (y untranslated).
TrackPoint at(const EditorProjection& pr, int x, int y)
{
    // Projections are truncated toward zero.
    auto middle = [](int v) { return v >= 0 ? v + 0.5 : v - 0.5; };
    const double lat = pr.topLatDeg - middle(y) / (111248.4 * pr.scale);
    const double lon =
        pr.leftLonDeg + middle(x) / (std::cos(lat * 0.017453292519943295) * 111319.2 * pr.scale);
    return {lat, lon};
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
    drawTracks(scene, screen(), entries, flags);
    return scene;
}

TEST(TagRendering, RoadClassPenIsTheFirstTagTextInOrder)
{
    const auto pr = screen();
    struct Case {
        std::optional<std::string> description;
        int width;
        std::uint32_t colour; // 0x00BBGGRR
    };
    const Case cases[] = {
        {"OSM:1:highway-motorway:", 3, 0xF7DF00},
        {"OSM:1:highway-motorway_link:", 3, 0xF7DF00}, // a substring test
        {"OSM:1:highway-trunk:", 2, 0xBEEC00},
        {"OSM:1:highway-primary:", 3, 0xBEEC00},
        {"OSM:1:highway-footway:", 1, 0x6F9CF6},
        {"OSM:1:highway-cycleway:", 1, 0x81F8FB},
        {"OSM:1:railway-rail:", 1, 0xB928FC},
        {"OSM:1:waterway-river:", 1, 0xF02300},
        {"OSM:1:waterway-river:highway-primary:", 3, 0xBEEC00}, // table order, not text order
        {"OSM:1:railway-rail:highway-footway:", 1, 0x6F9CF6},
        {"OSM:1:Highway-Motorway:", 1, 0xBEEC00}, // case-sensitive
        {"a drive to work", 1, 0xBEEC00},
        {std::nullopt, 1, 0xBEEC00},
    };
    for (const Case& c : cases) {
        const auto scene = draw({entry(c.description, {at(pr, 100, 100), at(pr, 200, 150)})});
        const auto lines = scene.all<views::PolylineItem>();
        ASSERT_EQ(lines.size(), 1u) << c.description.value_or("(none)");
        EXPECT_EQ(lines[0]->width, c.width) << c.description.value_or("(none)");
        EXPECT_EQ(lines[0]->colour, c.colour) << c.description.value_or("(none)");
        EXPECT_EQ(lines[0]->points, (std::vector<views::Point>{{100, 234}, {200, 284}}));
    }
}

TEST(TagRendering, SegmentsNeedAnEndOnScreenOnEachAxis)
{
    const auto pr = screen(); // on screen: 0 < x < 1004, 0 < y < 618
    struct Case {
        int x1, y1, x2, y2;
        bool drawn;
    };
    const Case cases[] = {
        {10, 10, 20, 20, true},      {-50, 10, 20, -40, true}, // x from the second end, y from the first
        {-50, -40, 20, 10, true},                              // both axes from the second end
        {-50, 10, -20, 20, false},                             // neither end on screen on x
        {10, 700, 20, 618, false},                             // 618 is off screen on y
        {1004, 10, 1010, 20, false}, {1003, 617, 1010, 900, true},
        {0, 10, 0, 20, false}, // x = 0 is off screen
    };
    for (const Case& c : cases) {
        const auto scene = draw({entry("OSM:1:", {at(pr, c.x1, c.y1), at(pr, c.x2, c.y2)})});
        EXPECT_EQ(scene.all<views::PolylineItem>().size(), c.drawn ? 1u : 0u)
            << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
    }
    // A stretch off screen splits the polyline in two.
    const auto scene = draw({entry("OSM:1:", {at(pr, 10, 10), at(pr, 20, 10), at(pr, -30, -30),
                                              at(pr, -40, -30), at(pr, 30, 30), at(pr, 40, 30)})});
    const auto lines = scene.all<views::PolylineItem>();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->points, (std::vector<views::Point>{{10, 144}, {20, 144}, {-30, 104}}));
    EXPECT_EQ(lines[1]->points, (std::vector<views::Point>{{-40, 104}, {30, 164}, {40, 164}}));
}

TEST(TagRendering, NameAndRefLabelsAtTheLastPointWhereTheyFit)
{
    const auto pr = screen();
    struct Case {
        std::string description;
        bool names, refs;
        int x, y; // the last point, untranslated
        std::vector<std::string> texts;
    };
    const std::string road = "OSM:1:highway-primary:name-High Street:ref-A4:";
    const Case cases[] = {
        {road, true, true, 300, 200, {"High Street", "[A4]"}},
        {road, true, false, 300, 200, {"High Street"}},
        {road, false, true, 300, 200, {"[A4]"}},
        {road, false, false, 300, 200, {}},
        {"OSM:1:ref-A4", true, true, 300, 200, {"[A4]"}}, // to the end without a ':'
        {"OSM:1:highway-primary:", true, true, 300, 200, {}},
        {road, true, true, 5, 200, {}}, // needs 5 < x
        {road, true, true, 6, 200, {"High Street", "[A4]"}},
        {road, true, true, 923, 200, {"High Street", "[A4]"}},
        {road, true, true, 924, 200, {}}, // needs x < W - 100
        {road, true, true, 300, 6, {}},   // needs 140 < y + 134
        {road, true, true, 300, 7, {"High Street", "[A4]"}},
        {road, true, true, 300, 593, {"High Street", "[A4]"}},
        {road, true, true, 300, 594, {}}, // needs y + 134 < H - 40
    };
    for (const Case& c : cases) {
        const auto scene = draw({entry(c.description, {at(pr, 100, 100), at(pr, c.x, c.y)})},
                                {.roadNames = c.names, .roadRef = c.refs});
        std::vector<std::string> texts;
        for (const views::TextItem* t : scene.all<views::TextItem>()) {
            texts.push_back(t->text);
            EXPECT_EQ(t->x, c.x);
            EXPECT_EQ(t->y, c.y + 134);
            EXPECT_EQ(t->cellHeight, 20);
            EXPECT_EQ(t->colour, 0xBBE000u);
            EXPECT_EQ(t->background, 0u);
        }
        EXPECT_EQ(texts, c.texts) << c.description << " at " << c.x << "," << c.y;
    }
}

TEST(TagRendering, IconClassByGroupThenFirstMatch)
{
    const auto pr = screen();
    struct Case {
        std::string description;
        std::optional<IconId> icon;
    };
    const Case cases[] = {
        {"Node:1:amenity-parking:", IconId::Parking},
        {"Node:1:amenity-pub:", IconId::Pub},
        {"Node:1:amenity-public_building:", IconId::PublicBuilding}, // tested before "amenity-pub"
        {"Node:1:amenity-fuel:amenity-parking:", IconId::Parking},   // the group's order decides
        {"Node:1:amenity-cafe:", std::nullopt},
        {"Node:1:sport-golf:", IconId::Golf},
        {"Node:1:leisure-golf_course:", IconId::Golf}, // one picture for both
        {"Node:1:sport-golfing:", std::nullopt},       // the ':' makes the whole value match
        {"Node:1:sport-swimming_pool:", IconId::Swimming},
        {"Node:1:sport-pavillion:", IconId::Swimming},
        {"Node:1:sport-rugby:", std::nullopt}, // case-sensitive: "sport-Rugby:"
        {"Node:1:sport-Rugby:", IconId::Rugby},
        {"Node:1:sport-tennis:amenity-toilets:", IconId::Toilets},    // amenity is tried first
        {"Node:1:amenity-cafe:sport-tennis:", IconId::Tennis},        // a group without a match passes on
        {"Node:1:leisure-sports_centre:sport-tennis:", std::nullopt}, // a sports centre draws nothing
        {"Node:1:leisure-sports_centre_x:sport-tennis:", IconId::Tennis},
        {"Node:1:railway-station:", IconId::Station},
        {"Node:1:railway-crossing:", IconId::LevelCrossing},
        {"Node:1:highway-speed_camera:", IconId::SpeedCamera},
        {"Node:1:waterway-lock_gate:", IconId::Lock},
        {"Node:1:waterway-lock:", IconId::Lock},
        {"Node:1:waterway-weir:", IconId::Weir},
        {"Node:1:historic-folly:", IconId::Castle},
        {"Node:1:historic-archaeological_site:", IconId::Castle},
        {"Node:1:historic-Museum:", IconId::Museum},
        {"Node:1:historic-ferris_wheel:", IconId::FerrisWheel},
        {"Node:1:tourism-museum:", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto scene = draw({entry(c.description, {at(pr, 50, 60)})}, {.icons = true});
        const auto icons = scene.all<views::IconItem>();
        ASSERT_EQ(icons.size(), c.icon ? 1u : 0u) << c.description;
        if (c.icon) {
            EXPECT_EQ(icons[0]->icon, *c.icon) << c.description;
            EXPECT_EQ(icons[0]->x, 50);
            EXPECT_EQ(icons[0]->y, 194);
        }
    }
    // Only at a first point on screen on both axes, and only when asked for.
    EXPECT_TRUE(draw({entry("Node:1:amenity-pub:", {at(pr, 50, 700)})}, {.icons = true}).items.empty());
    EXPECT_TRUE(draw({entry("Node:1:amenity-pub:", {at(pr, 50, 60)})}).items.empty());
}

TEST(TagRendering, NodeNamesCleaned)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Node:5:name-The Bell:", "The Bell:"},
        {"Node:5:amenity-pub:name-The Bell:", "pub:The Bell:"},
        {"Node:5:name-A:source-survey:name-B:", "A:name-B:"}, // only the first of each
        {"Node:5:source-survey;gps", "gps"},                  // ';' only without a ':'
        {"Node:5:x-1:source-survey;gps:", "x-1:"},
        {"Node:5:name-A:source-", "A:"},
        {"Node:5:source:date-2009:name-C:", "C:"},
        {"Node:5:name-Fish &amp; Chips &amp; Peas:", "Fish & Chips &amp; Peas:"},
        {"Node:5:name-Bob&apos;s:", "Bob's:"},
        {"Node:5:name-X:is_in-openGeoDB:", ""},
        {"Node:5:", ""},
        {"Node:5", ""},
        {"OSM:5:name-High Street:", ""},
        {"Node:5:" + std::string(400, 'n'), std::string(298, 'n')},
    };
    for (const auto& [description, cleaned] : cases)
        EXPECT_EQ(nodeNameText(description), cleaned) << description;

    const auto pr = screen();
    const auto scene =
        draw({entry("Node:5:name-The Bell:", {at(pr, 50, 60)}),
              entry("Node:6:name-Off Screen:", {at(pr, 1010, 60)}), entry("Node:7:", {at(pr, 50, 60)})},
             {.nodeNames = true});
    const auto texts = scene.all<views::TextItem>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "The Bell:");
    EXPECT_EQ(texts[0]->x, 90);
    EXPECT_EQ(texts[0]->y, 194);
    EXPECT_EQ(texts[0]->cellHeight, 18);
    EXPECT_EQ(texts[0]->colour, 0xFFFFFFu);
}

TEST(TagRendering, PolylinesAndLabelsThenIconsThenNodeNames)
{
    const auto pr = screen();
    const std::vector<TrackEntry> entries = {
        entry("Node:1:amenity-pub:name-The Bell:", {at(pr, 50, 60)}),
        entry("OSM:2:highway-primary:name-High Street:", {at(pr, 100, 100), at(pr, 200, 200)}),
        entry("Node:3:amenity-fuel:name-Pumps:", {at(pr, 300, 60)}),
        entry("OSM:4:railway-rail:name-Main Line:", {at(pr, 100, 300), at(pr, 200, 300)}),
    };
    const auto scene = draw(entries, {.roadNames = true, .icons = true, .nodeNames = true});
    std::vector<std::string> order;
    for (const views::SceneItem& item : scene.items) {
        if (const auto* t = std::get_if<views::TextItem>(&item))
            order.push_back("text " + t->text);
        else if (const auto* i = std::get_if<views::IconItem>(&item))
            order.push_back("icon " + std::to_string(static_cast<int>(i->icon)));
        else if (std::holds_alternative<views::PolylineItem>(item))
            order.push_back("line");
    }
    // Single nodes have names too ("name-" is a plain substring test) but no line.
    const std::vector<std::string> expected = {"text The Bell",
                                               "line",
                                               "text High Street",
                                               "text Pumps",
                                               "line",
                                               "text Main Line",
                                               "icon " + std::to_string(static_cast<int>(IconId::Pub)),
                                               "icon " + std::to_string(static_cast<int>(IconId::Fuel)),
                                               "text pub:The Bell:",
                                               "text fuel:Pumps:"};
    EXPECT_EQ(order, expected);
}

// Entries are passed over by their extent and points on one pixel are
// dropped: neither may change the picture. The same entries without an
// extent (never culled) must draw exactly the same scene.
TEST(TagRendering, CullingAndPixelDroppingKeepThePicture)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(51.0, 51.2), lon(-1.2, -1.0), step(-0.0004, 0.0004);
    std::vector<TrackEntry> culled;
    for (int i = 0; i < 300; ++i) {
        std::vector<TrackPoint> points{{lat(rng), lon(rng)}};
        const int n = 1 + static_cast<int>(rng() % 40);
        for (int k = 1; k < n; ++k)
            points.push_back({points.back().latDeg + step(rng), points.back().lonDeg + step(rng)});
        culled.push_back(
            entry("Node:" + std::to_string(i) + ":amenity-pub:name-N" + std::to_string(i) + ":ref-R:",
                  std::move(points)));
    }
    std::vector<TrackEntry> whole = culled;
    for (TrackEntry& e : whole)
        e.extent = {};
    for (const double scale : {0.0005, 0.004, 0.02, 0.3}) {
        EditorProjection pr = screen();
        pr.scale = scale;
        pr.topLatDeg = 51.15;
        pr.leftLonDeg = -1.15;
        const TrackDisplayFlags all{true, true, true, true};
        views::Scene a, b;
        drawTracks(a, pr, culled, all);
        drawTracks(b, pr, whole, all);
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
