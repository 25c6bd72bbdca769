// The camera view scene: box skipping, icons, hazard pieces, map letters, cross-hair and trail.
#include <gtest/gtest.h>

#include <cmath>

#include "cameras/CameraPanel.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "views/CameraViewScene.h"

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
    CameraViewInput in;

    void SetUp() override
    {
        fix.Latitude = kFixLat;
        fix.Longitude = kFixLon;
        in.windowWidth = 800;
        in.windowHeight = 600;
        in.fix = &fix;
        in.panel = &panel;
        in.cameras = &cams;
    }
};

} // namespace

TEST_F(SceneFixture, BoxesThatDoNotFitAreSkippedWhole)
{
    in.windowWidth = 750; // right edge 750 is not inside a 750-pixel window
    auto s = buildCameraViewScene(in);
    for (BoxId id : {BoxId::CameraLine, BoxId::RoadValue, BoxId::HazardValue, BoxId::SentenceStrip})
        EXPECT_EQ(s.box(id), nullptr) << int(id);
    EXPECT_NE(s.box(BoxId::Map), nullptr);
    EXPECT_NE(s.box(BoxId::SpeedLimitLabel), nullptr);

    in.windowWidth = 751;
    s = buildCameraViewScene(in);
    EXPECT_NE(s.box(BoxId::CameraLine), nullptr);
    EXPECT_EQ(s.box(BoxId::SentenceStrip), nullptr); // 770 wide

    in.windowHeight = 445; // bottom 445 of the lower row
    s = buildCameraViewScene(in);
    EXPECT_EQ(s.box(BoxId::Latitude), nullptr);
    EXPECT_NE(s.box(BoxId::Map), nullptr); // bottom 414
    in.windowHeight = 414;
    EXPECT_FALSE(buildCameraViewScene(in).mapShown);
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
    panel.hazard = "1234567890123456789012345";
    auto s = buildCameraViewScene(in);

    const SceneBox* cam = s.box(BoxId::CameraLine);
    ASSERT_NE(cam, nullptr);
    EXPECT_EQ(cam->texts[0].text, "No cameras are in the map area");
    EXPECT_EQ(s.box(BoxId::VehicleSpeedValue)->texts[0].text, "0 mph");
    EXPECT_EQ(s.box(BoxId::HazardValue)->texts.size(), 2u); // in two rows
    EXPECT_EQ(s.box(BoxId::Time)->texts[0].text, "Time 1:05:09");
    EXPECT_EQ(s.box(BoxId::Latitude)->texts[0].text, "Lat. 51.380000");
    EXPECT_EQ(s.box(BoxId::Longitude)->texts[0].text, "Long. -1.330000");
    ASSERT_TRUE(s.strip);
    EXPECT_EQ(s.strip->texts[0].text, "$GPRMC,bad Bad");

    in.speedUnits = 1;
    EXPECT_EQ(buildCameraViewScene(in).box(BoxId::VehicleSpeedValue)->texts[0].text, "1 kph");
    in.stripText.reset();
    EXPECT_TRUE(buildCameraViewScene(in).strip->texts.empty());
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

TEST(IconClass, FirstFiveCharactersWithoutCase)
{
    for (auto [type, icon] : {std::pair{"MOBILE", IconClass::Mobil},
                              {"redlight", IconClass::RedLight},
                              {"REDSPEED", IconClass::RedSpeed},
                              {"Specs", IconClass::Specs},
                              {"Spec", IconClass::Other},
                              {"", IconClass::Other}})
        EXPECT_EQ(iconClassOf(type), icon) << type;
}

TEST_F(SceneFixture, IconSlotsFillFromTheRightOnePerClass)
{
    cams = {cameraAt(10, 10, "GATSO"), cameraAt(-100, 50, "gatso"), cameraAt(0, -200, "Gatso"),
            cameraAt(100, 100, "SPECS"), cameraAt(300, 0, "MOBILE")};
    auto s = buildCameraViewScene(in);
    ASSERT_EQ(s.icons.size(), 2u);
    EXPECT_EQ(s.icons[0].icon, IconClass::Gatso);
    EXPECT_EQ(s.icons[1].icon, IconClass::Specs);
    EXPECT_GT(s.icons[0].x, s.icons[1].x);
}

TEST_F(SceneFixture, IconWindowIsStrictAt250Metres)
{
    cams = {cameraAt(250.0, 0, "GATSO")};
    EXPECT_TRUE(buildCameraViewScene(in).icons.empty());
    cams = {cameraAt(249.0, 0, "GATSO")};
    EXPECT_EQ(buildCameraViewScene(in).icons.size(), 1u);
    fix.Latitude = 0.0; // no position: nothing qualifies
    cams = {cameraAt(1, 1, "GATSO")};
    EXPECT_TRUE(buildCameraViewScene(in).icons.empty());
}

TEST_F(SceneFixture, CameraLettersInsideTheRadiusSquare)
{
    in.mapRadius = 1000;
    cams = {cameraAt(500, 500, "Gatso"), cameraAt(1000, 0, "Mobile"), cameraAt(-999, -999, "Specs"),
            cameraAt(0, 0, "")};
    auto s = buildCameraViewScene(in);
    ASSERT_EQ(s.mapLetters.size(), 2u);
    EXPECT_EQ(s.mapLetters[0].text, "G");
    EXPECT_EQ(s.mapLetters[1].text, "S");
    ASSERT_TRUE(s.radiusLabel);
    EXPECT_EQ(s.radiusLabel->text, "Map radius 1km");
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

    auto lines = trailLines(ring, kFixLat, kFixLon, 4000, map);
    // Pass 1: 0->2 across the empty slot, pen lifted at 3, 4->5.
    // Pass 2 (slots 6..8): only slot 8 holds a point: nothing to join.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].x2, 1 + 184 + 4); // 100 m east of 4000 at 170 px
    EXPECT_EQ(lines[0].colour, kTrailYellow);
    EXPECT_EQ(lines[1].x1, lines[1].x2); // due north

    // Pen up between passes: two points either side of the index are not joined.
    TrackRing r2;
    r2.allocate(3);
    for (double e : {0, 10, 20}) // slots 0, 1, 2
        put(e, 0, r2);
    r2.setIndex(0);
    EXPECT_EQ(trailLines(r2, kFixLat, kFixLon, 4000, map).size(), 1u); // 1->2 only
}
