// The road map under the map views: drawn under the cameras by class, named, in night colours, and
// absent without a road map; the road line and the over-limit aid against the road's limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "core/roads/MemoryRoads.h"
#include "gps/AbsentSerialPort.h"
#include "gps/Presentation.h"
#include "roads/RoadFollower.h"
#include "session/Session.h"
#include "support/RecordingPrompt.h"
#include "views/CameraViewScene.h"
#include "views/RoadLayer.h"
#include "views/ViewMode.h"

using namespace varno;
using namespace varno::views;
using roads::RoadClass;
using varno::testing::at;
using varno::testing::MemoryRoads;
using varno::testing::way;

namespace {

std::unique_ptr<roads::RoadFollower> townRoads()
{
    auto src = std::make_unique<MemoryRoads>();
    src->all = {
        way(1, {{-3000, 0}, {3000, 0}}, RoadClass::Primary, "Demminer Straße", 50, false, "B104"),
        way(2, {{400, -2000}, {400, 2000}}, RoadClass::Residential, "Turmstraße", 30),
        way(3, {{-200, 100}, {200, 120}}, RoadClass::Path, "Uferweg"),
        way(4, {{50000, 0}, {50100, 0}}, RoadClass::Motorway, "far away"),
    };
    return std::make_unique<roads::RoadFollower>(std::move(src));
}

struct RoadScene : ::testing::Test {
    std::vector<cameras::CameraPoint> cams;
    SceneInput in;
    std::unique_ptr<roads::RoadFollower> roads = townRoads();
    void SetUp() override
    {
        in.windowWidth = 800, in.windowHeight = 600;
        in.fix.position = at(0, 0);
        in.mapRadius = 4000.0;
        cameras::CameraPoint c;
        c.lat = at(300, 300).latDeg(), c.lon = at(300, 300).lonDeg();
        c.CamType = "Gatso";
        cams = {c};
        in.cameras = &cams;
    }
    std::vector<const PolylineItem*> roadLines(const Scene& s, bool night = false) const
    {
        std::vector<const PolylineItem*> out;
        for (const PolylineItem* l : s.all<PolylineItem>())
            for (RoadClass k :
                 {RoadClass::Primary, RoadClass::Residential, RoadClass::Path, RoadClass::Motorway})
                if (l->colour == roadPen(k, night).colour && l->width == roadPen(k, night).width) {
                    out.push_back(l);
                    break;
                }
        return out;
    }
    std::size_t indexOf(const Scene& s, const void* item) const
    {
        for (std::size_t i = 0; i < s.items.size(); ++i)
            if (std::visit([&](const auto& x) { return static_cast<const void*>(&x) == item; }, s.items[i]))
                return i;
        return s.items.size();
    }
};

} // namespace

TEST_F(RoadScene, TheCameraViewDrawsTheRoadsUnderItsLettersAndWithoutARoadMapNothingChanges)
{
    const auto camera = makeCameraMode();
    const Scene plain = composeScene(*camera, in);
    EXPECT_TRUE(roadLines(plain).empty());

    in.roadMap = roads.get();
    const Scene s = composeScene(*camera, in);
    const auto lines = roadLines(s);
    // The primary and the residential street; the path not at 4 km, the motorway far off.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(s.items.size(),
              plain.items.size() + 2 + s.all<TextItem>().size() - plain.all<TextItem>().size());
    // The residential street first, the primary over it; both before the camera's letter and the cross-hair.
    EXPECT_EQ(lines[0]->colour, roadPen(RoadClass::Residential, false).colour);
    EXPECT_EQ(lines[1]->colour, roadPen(RoadClass::Primary, false).colour);
    const TextItem* letter = nullptr;
    for (const TextItem* t : s.all<TextItem>())
        if (t->text == "G")
            letter = t;
    ASSERT_TRUE(letter);
    EXPECT_LT(indexOf(s, lines[1]), indexOf(s, letter));
    // Clipped inside the map's frame, through the fix's pixel as the trail places it.
    const Rect map = boxSpec(BoxId::Map).rect;
    EXPECT_EQ(lines[0]->clip, (Rect{map.left + 1, map.top + 1, map.right - 1, map.bottom - 1}));
    const Point centre{map.left + kTrailCentreDx, map.top + kTrailCentreDy};
    EXPECT_EQ(lines[1]->points.front().y, centre.y);
    EXPECT_NEAR(lines[0]->points.front().x, centre.x + 400 * 170 / 4000, 1);

    // The primary's name along it, level as the road runs east; the street's not at this scale.
    std::vector<const TextItem*> names;
    for (const TextItem* t : s.all<TextItem>())
        if (t->colour == roadNameColour(false))
            names.push_back(t);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0]->text, "Demminer Straße");
    EXPECT_EQ(names[0]->angleDeg, 0);
    EXPECT_NEAR(names[0]->y + kRoadNameHeight / 2, centre.y, 1);
    EXPECT_LT(indexOf(s, names[0]), indexOf(s, letter));

    // Zoomed in, the path and the street's name appear too, the street's turned to run along it.
    in.mapRadius = 500.0;
    const Scene near = composeScene(*camera, in);
    EXPECT_EQ(roadLines(near).size(), 3u);
    bool streetNamed = false;
    for (const TextItem* t : near.all<TextItem>())
        streetNamed |= t->text == "Turmstraße" && std::abs(t->angleDeg) == 90;
    EXPECT_TRUE(streetNamed);
}

TEST_F(RoadScene, NightColoursAreDarkerAndTheOtherMapViewsDrawTheRoadsToo)
{
    for (RoadClass k : {RoadClass::Motorway, RoadClass::Primary, RoadClass::Residential}) {
        const RoadPen day = roadPen(k, false), night = roadPen(k, true);
        EXPECT_EQ(day.width, night.width);
        EXPECT_LT((night.colour & 0xFF) + (night.colour >> 8 & 0xFF) + (night.colour >> 16 & 0xFF),
                  (day.colour & 0xFF) + (day.colour >> 8 & 0xFF) + (day.colour >> 16 & 0xFF));
    }
    in.roadMap = roads.get();
    in.night = true;
    EXPECT_EQ(roadLines(composeScene(*makeCameraMode(), in), true).size(), 2u);
    for (auto make : {makePoiMode, makeRouteMode, makeTrailMode}) {
        const auto mode = make();
        SceneInput without = in;
        without.roadMap = nullptr;
        EXPECT_TRUE(roadLines(composeScene(*mode, without), true).empty());
        const Scene s = composeScene(*mode, in);
        EXPECT_EQ(roadLines(s, true).size(), 2u) << static_cast<int>(mode->id());
    }
    // Nothing without a fix position.
    in.fix.position = {};
    EXPECT_TRUE(roadLines(composeScene(*makeCameraMode(), in), true).empty());
}

namespace {

struct RoadSession : ::testing::Test {
    RoadSession() { std::filesystem::create_directories(dir.path() / "Log"); }
    test::ScratchDir dir;
    settings::SettingsStore store{dir.file("settings.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    FixedClock clock{{.year = 2006, .month = 6, .day = 5, .weekday = 1, .hour = 12, .minute = 0}};
    gps::AbsentSerialPort port;
};

} // namespace

TEST_F(RoadSession, TheRoadAndItsLimitShowInTheTopLinesAndTheOverLimitAidUsesIt)
{
    settings.writeDefaults();
    settings.write(settings::keys::SpeedUnits, static_cast<std::uint32_t>(gps::kSpeedUnitsKph));
    session::Session s(
        {settings, prompt, clock, port, dir.path().string(), [](std::chrono::milliseconds) {}});
    auto roads = townRoads();
    s.road().setRoadMap(roads.get());
    gps::CNmeaDecoder& d = s.decoder();
    d.Latitude = at(500, 3).latDeg(), d.Longitude = at(500, 3).lonDeg();
    d.Course = 90.0;
    d.SpeedKnots = 60.0 / gps::kKnotsToKph;
    roads->onFix(d.fix(), true);
    auto red = [](const Scene& sc) {
        for (const FillItem* f : sc.all<FillItem>())
            if (f->rect.left == boxSpec(BoxId::VehicleSpeedValue).rect.left + 1 && f->colour == kOverLimitRed)
                return true;
        return false;
    };
    Scene sc = s.road().buildScene(800, 600, {});
    EXPECT_EQ(boxTexts(sc, BoxId::AverageSpeedLine), std::vector<std::string>{"B104 \xC2\xB7 50"});
    EXPECT_FALSE(red(sc)) << "the aid is off";
    s.cameraWarner().aids.on.chime = true;
    sc = s.road().buildScene(800, 600, {});
    EXPECT_TRUE(red(sc));
    d.SpeedKnots = 45.0 / gps::kKnotsToKph;
    EXPECT_FALSE(red(s.road().buildScene(800, 600, {})));

    // The receiver loses its fix: no road, no road line.
    roads->onFix(d.fix(), false);
    EXPECT_EQ(boxTexts(s.road().buildScene(800, 600, {}), BoxId::AverageSpeedLine),
              std::vector<std::string>{""});
    s.road().setRoadMap(nullptr);
}

TEST_F(RoadSession, ARoadMapThatCannotBeOpenedIsReportedOnceAndLeavesNoRoadMap)
{
    settings.writeDefaults();
    session::Session s(
        {settings, prompt, clock, port, dir.path().string(), [](std::chrono::milliseconds) {}});
    EXPECT_FALSE(s.reloadRoadMap()) << "none set";
    EXPECT_TRUE(prompt.texts().empty());
    const std::string missing = dir.file("nowhere.sqlite");
    settings.write(settings::keys::RoadMapFile, missing);
    EXPECT_FALSE(s.reloadRoadMap());
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_NE(prompt.texts()[0].find(missing), std::string::npos) << prompt.texts()[0];
    EXPECT_FALSE(s.roadMapOpen());
    EXPECT_EQ(s.road().roadMap(), nullptr);
}
