// The camera view's scene as a display list: box skipping, texts, icons, map letters, trail and strip
// colours.
#include <gtest/gtest.h>

#include <cmath>

#include "cameras/CameraPanel.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "views/CameraViewScene.h"
#include "views/ViewMode.h"

using namespace varno;
using namespace varno::views;

namespace {

constexpr double kFixLat = 51.38, kFixLon = -1.33;

cameras::CameraPoint cameraAt(double eastM, double northM, std::string type)
{
    cameras::CameraPoint c;
    c.lat = kFixLat + northM / geo::kMetresPerDegreeNorth;
    // The east offset uses the cosine of the camera's own latitude.
    c.lon = kFixLon + eastM / (std::cos(c.lat * geo::kDegToRad) * geo::kMetresPerDegreeEast);
    c.CamType = std::move(type);
    return c;
}

struct SceneFixture : ::testing::Test {
    gps::CNmeaDecoder fix;
    cameras::CameraPanelText panel;
    std::vector<cameras::CameraPoint> cams;
    SceneInput in;
    std::unique_ptr<ViewMode> camera = makeCameraMode();

    Scene build()
    {
        in.fix = fix.fix();
        return composeScene(*camera, in);
    }
    bool shown(const Scene& s, BoxId id) const { return s.hasFrame(boxSpec(id).rect); }

    void SetUp() override
    {
        fix.Latitude = kFixLat;
        fix.Longitude = kFixLon;
        in.windowWidth = 800;
        in.windowHeight = 600;
        in.panel = &panel;
        in.cameras = &cams;
    }
};

} // namespace

TEST_F(SceneFixture, BoxesThatDoNotFitAreSkippedWhole)
{
    const Rect strip{1, 455, 770, 500};
    in.windowWidth = 750; // right edge 750 is not inside a 750-pixel window
    auto s = build();
    for (BoxId id : {BoxId::CameraLine, BoxId::RoadValue, BoxId::HazardValue})
        EXPECT_FALSE(shown(s, id)) << int(id);
    EXPECT_FALSE(s.hasFrame(strip));
    EXPECT_TRUE(boxTexts(s, BoxId::CameraLine).empty());
    EXPECT_TRUE(shown(s, BoxId::Map));
    EXPECT_TRUE(shown(s, BoxId::SpeedLimitLabel));

    in.windowWidth = 751;
    s = build();
    EXPECT_TRUE(shown(s, BoxId::CameraLine));
    EXPECT_FALSE(s.hasFrame(strip)); // 770 wide
    in.windowWidth = 771;
    in.windowHeight = 502;
    EXPECT_TRUE(build().hasFrame(strip));

    in.windowHeight = 445; // bottom 445 of the lower row
    s = build();
    EXPECT_FALSE(shown(s, BoxId::Latitude));
    EXPECT_TRUE(shown(s, BoxId::Map)); // bottom 414
    in.windowHeight = 414;
    s = build();
    EXPECT_FALSE(shown(s, BoxId::Map));
    EXPECT_EQ(s.textAt(kRadiusLabelX, kRadiusLabelY), nullptr);
    EXPECT_TRUE(s.all<PolylineItem>().empty());
}

TEST_F(SceneFixture, TextsAndWhereTheyStart)
{
    panel.clearNoCameras();
    fix.SpeedKnots = 0.5;
    fix.GgaHour = 23;
    fix.GgaMinute = 5;
    fix.GgaSecond = 9;
    in.timeZone = 2;
    in.stripText = "$GPRMC,bad Bad";
    in.boxBackground = 0x0098E500;
    in.boxText = 0x00112233;
    panel.hazard = "1234567890123456789012345";
    auto s = build();

    using Texts = std::vector<std::string>;
    EXPECT_EQ(boxTexts(s, BoxId::CameraLine), Texts{"No cameras are in the map area"});
    EXPECT_EQ(boxTexts(s, BoxId::VehicleSpeedValue), Texts{"0 mph"});
    EXPECT_EQ(boxTexts(s, BoxId::HazardValue).size(), 2u); // in two rows
    EXPECT_EQ(boxTexts(s, BoxId::Time), Texts{"Time 1:05:09"});
    EXPECT_EQ(boxTexts(s, BoxId::Latitude), Texts{"Lat. 51.380000"});
    EXPECT_EQ(boxTexts(s, BoxId::Longitude), Texts{"Long. -1.330000"});
    // A box's text: at its layout origin, in its font, the scheme's colours, clipped to the box.
    const BoxSpec& road = boxSpec(BoxId::RoadValue);
    const TextItem* t = s.textAt(road.rect.left + road.textDx, road.rect.top + road.textDy);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->cellHeight, 34);
    EXPECT_EQ(t->colour, in.boxText);
    EXPECT_EQ(t->background, in.boxBackground);
    EXPECT_EQ(t->clip, road.rect);
    const TextItem* strip = s.textAt(kStripTextX, kStripTextY);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->text, "$GPRMC,bad Bad");

    in.speedUnits = 1;
    EXPECT_EQ(boxTexts(build(), BoxId::VehicleSpeedValue), Texts{"1 kph"});
    in.stripText.reset();
    EXPECT_EQ(build().textAt(kStripTextX, kStripTextY), nullptr);
}

TEST(HazardPieces, NineteenCharacterPiecesAtMostThree)
{
    using Pieces = std::vector<std::string>;
    const std::string a18(18, 'a'), a19(19, 'a'), e = "\xC3\xA9"; // e acute, two bytes
    const std::pair<std::string, Pieces> cases[] = {
        {"short", {"short"}},
        {a19, {a19}},
        {a19 + "012345", {a19, "012345"}},
        {a19 + a19, {a19, a19}},
        {a19 + a19 + "y" + a18, {a19, a19, "y" + a18}},
        {std::string(70, 'a'), {a19, a19, a19}}, // the rest is not drawn
        {a18 + e + "b", {a18, e + "b"}},         // a two-byte character at the cut is not split
    };
    for (const auto& [text, pieces] : cases)
        EXPECT_EQ(hazardPieces(text), pieces) << text;
}

// The strip is black in every scheme: the day scheme's black text is drawn white on it.
TEST_F(SceneFixture, StripTextStaysReadableOnTheBlackStrip)
{
    in.stripText = "$GPGGA";
    for (auto [schemeText, drawn] : {std::pair{kBlack, kWhite}, {0x009DE800u, 0x009DE800u}}) {
        in.boxText = schemeText;
        const Scene s = build();
        const TextItem* t = s.textAt(kStripTextX, kStripTextY);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->colour, drawn);
        EXPECT_EQ(t->background, kBlack);
    }
}

TEST(IconId, FirstFiveCharactersWithoutCase)
{
    for (auto [type, icon] : {std::pair{"MOBILE", IconId::Mobil},
                              {"redlight", IconId::RedLight},
                              {"REDSPEED", IconId::RedSpeed},
                              {"Specs", IconId::Specs},
                              {"Spec", IconId::Other},
                              {"", IconId::Other}})
        EXPECT_EQ(iconClassOf(type), icon) << type;
}

TEST_F(SceneFixture, IconSlotsFillFromTheRightOnePerClass)
{
    cams = {cameraAt(10, 10, "GATSO"), cameraAt(-100, 50, "gatso"), cameraAt(0, -200, "Gatso"),
            cameraAt(100, 100, "SPECS"), cameraAt(300, 0, "MOBILE")};
    const Scene s = build();
    const auto icons = s.all<IconItem>();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0]->icon, IconId::Gatso);
    EXPECT_EQ(icons[1]->icon, IconId::Specs);
    EXPECT_GT(icons[0]->x, icons[1]->x);
}

TEST_F(SceneFixture, IconWindowIsStrictAt250Metres)
{
    cams = {cameraAt(250.0, 0, "GATSO")};
    EXPECT_TRUE(build().all<IconItem>().empty());
    cams = {cameraAt(249.0, 0, "GATSO")};
    EXPECT_EQ(build().all<IconItem>().size(), 1u);
    fix.Latitude = 0.0; // no position: nothing qualifies
    cams = {cameraAt(1, 1, "GATSO")};
    EXPECT_TRUE(build().all<IconItem>().empty());
}

TEST_F(SceneFixture, CameraLettersInsideTheRadiusSquare)
{
    in.mapRadius = 1000;
    cams = {cameraAt(500, 500, "Gatso"), cameraAt(1000, 0, "Mobile"), cameraAt(-999, -999, "Specs"),
            cameraAt(0, 0, "")};
    const Scene s = build();
    const auto inMap = s.textsIn(boxSpec(BoxId::Map).rect);
    ASSERT_EQ(inMap.size(), 3u); // two letters, then the radius label
    EXPECT_EQ(inMap[0]->text, "G");
    EXPECT_EQ(inMap[1]->text, "S");
    EXPECT_EQ(inMap[0]->colour, kWhite);
    EXPECT_EQ(inMap[0]->background, kNoColour);
    EXPECT_EQ(inMap[2], s.textAt(kRadiusLabelX, kRadiusLabelY));
    EXPECT_EQ(inMap[2]->text, "Map radius 1km");
}

TEST(Trail, TwoPassesWithPenRules)
{
    const Rect map{1, 123, 379, 414};
    TrackRing ring;
    ring.allocate(9);
    auto put = [&](double eastM, double northM, TrackRing& r) {
        auto c = cameraAt(eastM, northM, "");
        r.record({c.lat, c.lon});
    };
    // Slots 0..7: a point, an empty slot, a point, a point far off the map, two
    // points, then the slots after the index hold older points.
    put(0, 0, ring);
    ring.record({}); // empty slot: the pen stays down across it
    put(100, 0, ring);
    put(5000, 0, ring); // outside: lifts
    put(0, 100, ring);
    put(0, 200, ring);
    EXPECT_EQ(ring.index(), 5);
    ring.setIndex(7);
    put(-100, 0, ring); // slot 8
    put(-200, 0, ring); // slot 9 (the extra slot, not drawn by the second pass)
    ring.setIndex(5);

    auto runs = trailPolylines(ring, geo::LatLon::ofFix(kFixLat, kFixLon), 4000, map);
    // Pass 1: 0->2 across the empty slot, pen lifted at 3, 4->5.
    // Pass 2 (slots 6..8): only slot 8 holds a point: nothing to join.
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_EQ(runs[0].points.size(), 2u);
    EXPECT_EQ(runs[0].points[1].x, 1 + 184 + 4); // 100 m east of 4000 at 170 px
    EXPECT_EQ(runs[0].colour, kTrailYellow);
    EXPECT_EQ(runs[1].points[0].x, runs[1].points[1].x); // due north

    // Pen up between passes: two points either side of the index are not joined.
    TrackRing r2;
    r2.allocate(3);
    for (double e : {0, 10, 20}) // slots 0, 1, 2
        put(e, 0, r2);
    r2.setIndex(0);
    runs = trailPolylines(r2, geo::LatLon::ofFix(kFixLat, kFixLon), 4000, map);
    ASSERT_EQ(runs.size(), 1u); // 1->2 only
    EXPECT_EQ(runs[0].points.size(), 2u);
}
