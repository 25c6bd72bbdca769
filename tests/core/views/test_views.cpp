// The view switches and scenes, the camera view's scene, the track log ring and its options.
#include <gtest/gtest.h>

#include <cmath>
#include <new>

#include "cameras/CameraPanel.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "session/ViewState.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/CameraViewScene.h"
#include "views/TrackLogging.h"
#include "views/TrackRing.h"
#include "views/ViewMode.h"

using namespace varno;
using namespace varno::views;
using session::ViewState;
namespace keys = settings::keys;

namespace {

class RecordedSteps : public ViewSteps {
public:
    std::vector<std::string> done;
    void releaseAgentRequest() override { done.emplace_back("releaseAgentRequest"); }
    void loadPoiList() override { done.emplace_back("loadPoiList"); }
    void freePoiList() override { done.emplace_back("freePoiList"); }
    void resetRouteGuidance() override { done.emplace_back("resetRouteGuidance"); }
    void loadAgentIfRouteSpeech() override { done.emplace_back("loadAgentIfRouteSpeech"); }
    void unloadAgent() override { done.emplace_back("unloadAgent"); }
    void reloadCameras() override { done.emplace_back("reloadCameras"); }
    void forceCameraReload() override { done.emplace_back("forceCameraReload"); }
};

using Steps = std::vector<std::string>;

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
        fix.Latitude = kFixLat, fix.Longitude = kFixLon;
        in.windowWidth = 800, in.windowHeight = 600;
        in.panel = &panel, in.cameras = &cams;
    }
};

struct LoggingFixture : ::testing::Test {
    test::RecordingPrompt prompt;
    test::TestSettings s{prompt};
    TrackLogging t{s, prompt};

    void store(std::uint32_t log, std::uint32_t display, std::uint32_t length)
    {
        s.set(keys::LogTrack, log), s.set(keys::DisplayTrack, display), s.set(keys::TrackLength, length);
    }
    std::uint32_t stored(const settings::OnOffKey& key) { return s.get(key)->number; }
};

} // namespace

// Which steps a switch takes, in order (most are hooks for later features; the reloads act).
TEST(ViewModes, EachSwitchTakesItsStepsInOrder)
{
    struct Case {
        MapView from, to;
        ViewSwitch how;
        const char* steps;
    };
    const Case cases[] = {
        {MapView::Camera, MapView::Poi, ViewSwitch::Toggle, "releaseAgentRequest loadPoiList"},
        {MapView::Camera, MapView::Route, ViewSwitch::Toggle,
         "freePoiList releaseAgentRequest resetRouteGuidance loadAgentIfRouteSpeech"},
        {MapView::Poi, MapView::Camera, ViewSwitch::ToggleBack, "freePoiList"},
        {MapView::Route, MapView::Camera, ViewSwitch::Always,
         "freePoiList releaseAgentRequest reloadCameras"},
        {MapView::TrackEditor, MapView::Poi, ViewSwitch::Next, "loadPoiList"},
        {MapView::Poi, MapView::Route, ViewSwitch::Next,
         "freePoiList forceCameraReload releaseAgentRequest resetRouteGuidance loadAgentIfRouteSpeech"},
        {MapView::Trail, MapView::Camera, ViewSwitch::Next, "unloadAgent"},
    };
    ViewModes modes;
    for (const Case& c : cases) {
        ViewState state;
        state.switchTo(c.from);
        state.clearBackgroundChanged();
        RecordedSteps steps;
        state.switchTo(c.to);
        modes.switchTo(c.from, c.to, c.how, steps);
        std::string done;
        for (const std::string& step : steps.done)
            done += (done.empty() ? "" : " ") + step;
        EXPECT_EQ(done, c.steps) << int(c.from) << " -> " << int(c.to) << " by " << int(c.how);
        EXPECT_TRUE(state.isOn(c.to));
        EXPECT_TRUE(state.backgroundChanged());
        EXPECT_EQ(modes.mode(c.to).id(), c.to);
    }
}

// Each view's scene and what a new radius reloads (the POI list in the POI view, else cameras).
TEST(ViewModes, EachViewsSceneHasItsPartsAndReloadsForANewRadius)
{
    SceneInput in;
    in.windowWidth = 800, in.windowHeight = 600, in.windowFill = 0x00123456, in.stripText = "$GPRMC";
    ViewModes modes;
    for (MapView v : views::kAllViews) {
        ViewMode& m = modes.mode(v);
        RecordedSteps steps;
        m.rebuildForRadius(steps);
        m.beforePeriodicReload(steps);
        EXPECT_EQ(steps.done, v == MapView::Poi ? Steps(2, "loadPoiList") : Steps(1, "reloadCameras"));
        for (bool nothingReceived : {false, true}) {
            in.nothingReceived = nothingReceived;
            const Scene s = composeScene(m, in);
            // The fill first; before the first sentence only the fill, in every view that takes fixes.
            ASSERT_FALSE(s.items.empty());
            const auto* fill = std::get_if<FillItem>(&s.items.front());
            EXPECT_TRUE(fill && fill->colour == in.windowFill && fill->rect == (Rect{0, 0, 800, 600}));
            const bool drawn = !nothingReceived;
            EXPECT_EQ(s.hasFrame(boxSpec(BoxId::CameraLine).rect), drawn && v != MapView::TrackEditor)
                << int(v);
            EXPECT_EQ(s.hasFrame(boxSpec(BoxId::Map).rect), drawn && v == MapView::Camera) << int(v);
            EXPECT_TRUE(v != MapView::TrackEditor || s.items.size() == 1u);
        }
    }
}

// A box is drawn only when its right and bottom edges lie inside the window.
TEST_F(SceneFixture, BoxesThatDoNotFitAreSkippedWhole)
{
    const struct {
        int width, height;
        bool wide, lowerRow, map; // the right column reaching x 750, the row ending at y 445
    } cases[] = {{750, 600, false, true, true},
                 {751, 446, true, true, true},
                 {751, 445, true, false, true},
                 {751, 414, true, false, false}};
    for (const auto& c : cases) {
        in.windowWidth = c.width, in.windowHeight = c.height;
        const Scene s = build();
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        EXPECT_EQ(shown(s, BoxId::CameraLine), c.wide);
        EXPECT_EQ(shown(s, BoxId::RoadValue), c.wide);
        EXPECT_EQ(boxTexts(s, BoxId::CameraLine).empty(), !c.wide);
        EXPECT_EQ(shown(s, BoxId::Latitude), c.lowerRow);
        EXPECT_EQ(shown(s, BoxId::Map), c.map);
        EXPECT_EQ(s.textAt(kRadiusLabelX, kRadiusLabelY) != nullptr, c.map);
    }
}

TEST_F(SceneFixture, TextsWhereTheyStartAndTheirColours)
{
    panel.clearNoCameras();
    fix.GgaHour = 23, fix.GgaMinute = 5, fix.GgaSecond = 9, fix.SpeedKnots = 0.5;
    in.timeZone = 2, in.speedUnits = 1;
    in.boxBackground = 0x0098E500, in.boxText = 0x00112233;
    panel.hazard = "1234567890123456789012345";
    const Scene s = build();
    using Texts = std::vector<std::string>;
    EXPECT_EQ(boxTexts(s, BoxId::CameraLine), Texts{"No cameras are in the map area"});
    EXPECT_EQ(boxTexts(s, BoxId::VehicleSpeedValue), Texts{"1 kph"});
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

    // Without a fix the camera line says so and the kept position is greyed.
    in.noFix = true;
    const Scene stale = build();
    EXPECT_EQ(boxTexts(stale, BoxId::CameraLine), Texts{"NO FIX"});
    EXPECT_EQ(boxTexts(stale, BoxId::Latitude), Texts{"Lat. 51.380000"});
    const BoxSpec& lat = boxSpec(BoxId::Latitude);
    EXPECT_EQ(stale.textAt(lat.rect.left + lat.textDx, lat.rect.top + lat.textDy)->colour, kStaleGrey);
    EXPECT_EQ(stale.textAt(road.rect.left + road.textDx, road.rect.top + road.textDy)->colour, in.boxText);
}

TEST(HazardPieces, NineteenCharacterPiecesAtMostThree)
{
    using Pieces = std::vector<std::string>;
    const std::string a18(18, 'a'), a19(19, 'a'), e = "\xC3\xA9"; // e acute, two bytes
    const std::pair<std::string, Pieces> cases[] = {
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

// Icon classes by the first five characters; only cameras strictly within 250 m of a fix count.
// Speeding near a camera and in an average-speed zone: the camera line and the average line are drawn
// in the over-limit colour, each only while its flag is set; the rest of the top keeps the scheme's.
TEST_F(SceneFixture, TheLinesThatShowSpeedingAreDrawnInTheOverLimitColour)
{
    in.boxText = 0x00112233;
    panel.camera = "420m GATSO";
    in.averageSpeedText = "Avg 60 mph over 690 m, 41 s";
    const auto colourOf = [this](BoxId id) {
        const Scene s = build();
        const auto texts = s.textsIn(boxSpec(id).rect);
        return texts.empty() ? kNoColour : texts.front()->colour;
    };
    EXPECT_EQ(colourOf(BoxId::CameraLine), in.boxText);
    EXPECT_EQ(colourOf(BoxId::AverageSpeedLine), in.boxText);
    in.distanceOverLimit = true;
    EXPECT_EQ(colourOf(BoxId::CameraLine), overLimitTextColour(in));
    EXPECT_EQ(colourOf(BoxId::AverageSpeedLine), in.boxText);
    in.averageOverLimit = true;
    EXPECT_EQ(colourOf(BoxId::AverageSpeedLine), kOverLimitRed);
    EXPECT_EQ(colourOf(BoxId::Time), in.boxText);
    // By night both turn amber, and the speed box is amber with dark text.
    in.night = true;
    in.overLimit = true;
    EXPECT_EQ(colourOf(BoxId::CameraLine), kOverLimitAmber);
    EXPECT_EQ(colourOf(BoxId::AverageSpeedLine), kOverLimitAmber);
    EXPECT_EQ(colourOf(BoxId::VehicleSpeedValue), kBlack);
    in.night = false;
    // Without a fix the camera line says so in the scheme's colour.
    in.noFix = true;
    EXPECT_EQ(colourOf(BoxId::CameraLine), in.boxText);
}

TEST_F(SceneFixture, IconClassesAndTheStrict250MetreWindow)
{
    for (auto [type, icon] : {std::pair{"MOBILE", IconId::Mobil},
                              {"redlight", IconId::RedLight},
                              {"REDSPEED", IconId::RedSpeed},
                              {"Specs", IconId::Specs},
                              {"Spec", IconId::Other},
                              {"", IconId::Other}})
        EXPECT_EQ(iconClassOf(type), icon) << type;
    cams = {cameraAt(250.0, 0, "GATSO")};
    EXPECT_TRUE(build().all<IconItem>().empty());
    cams = {cameraAt(249.0, 0, "GATSO")};
    EXPECT_EQ(build().all<IconItem>().size(), 1u);
    fix.Latitude = 0.0; // no position: nothing qualifies
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
    EXPECT_EQ(inMap[0]->background, kNoColour); // white letters on the black map: the window's tests
    EXPECT_EQ(inMap[2], s.textAt(kRadiusLabelX, kRadiusLabelY));
    EXPECT_EQ(inMap[2]->text, "Map radius 1km");
}

TEST(Trail, TwoPassesWithPenRules)
{
    const Rect map{1, 123, 379, 414};
    TrackRing ring, r2;
    auto put = [&](TrackRing& r, std::initializer_list<std::pair<double, double>> eastNorth) {
        for (auto [e, n] : eastNorth) {
            auto c = cameraAt(e, n, "");
            r.record(e == 1 ? geo::LatLon() : geo::LatLon(c.lat, c.lon)); // 1 m east: an empty slot
        }
    };
    // Slots 0..5: a point, an empty slot (the pen stays down across it), a point,
    // a point far off the map (it lifts), two points; 8 and 9 hold older points.
    ring.allocate(9);
    put(ring, {{0, 0}, {1, 0}, {100, 0}, {5000, 0}, {0, 100}, {0, 200}});
    ring.setIndex(7);
    put(ring, {{-100, 0}, {-200, 0}}); // slot 9 is the extra slot, not drawn by the second pass
    ring.setIndex(5);
    auto runs = trailPolylines(ring, geo::LatLon::ofFix(kFixLat, kFixLon), 4000, map);
    // Pass 1: 0->2 across the empty slot, 4->5; pass 2 (slots 6..8) has one point only.
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_EQ(runs[0].points.size(), 2u);
    EXPECT_EQ(runs[0].points[1].x, 1 + 184 + 4);         // 100 m east of 4000 at 170 px
    EXPECT_EQ(runs[1].points[0].x, runs[1].points[1].x); // due north
    // Pen up between passes: two points either side of the index are not joined.
    r2.allocate(3);
    put(r2, {{0, 0}, {10, 0}, {20, 0}});
    r2.setIndex(0);
    runs = trailPolylines(r2, geo::LatLon::ofFix(kFixLat, kFixLon), 4000, map);
    ASSERT_EQ(runs.size(), 1u); // 1->2 only
    EXPECT_EQ(runs[0].points.size(), 2u);
}

// The trail is placed without a cosine per point: every pixel must still be
// the one the plain projection gives, at any latitude and radius, on the
// square's edges too, and runs that share a pixel keep it.
TEST(Trail, PixelsAsThePlainProjection)
{
    const Rect map{1, 123, 379, 414};
    struct Case {
        double lat, lon, radius, spreadM;
    };
    const Case cases[] = {{51.38, -1.33, 4000, 6000}, {51.38, -1.33, 250, 300}, {-33.9, 151.2, 1000, 1500},
                          {69.6, 18.9, 30000, 45000}, {0.01, 0.01, 2000, 2500}, {89.9, 10.0, 5000, 8000},
                          {51.38, -1.33, 0, 100}};
    std::uint32_t seed = 7;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24) * 2.0 - 1.0;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        const geo::LatLon fix(c.lat, c.lon);
        TrackRing ring;
        ring.allocate(3000);
        std::vector<geo::LatLon> placed;
        for (int i = 0; i < 3000; ++i) {
            // A quarter on the square's east or west edge, half on pixel borders.
            double e = next() * c.spreadM, n = next() * c.spreadM;
            if (i % 4 == 0)
                e = (i % 8 ? 1 : -1) * c.radius;
            else if (i % 2 == 1 && c.radius > 0)
                e = std::round(e * geo::kPixelsPerRadiusX / c.radius) * c.radius / geo::kPixelsPerRadiusX;
            const double lat = c.lat + n / geo::kMetresPerDegreeNorth;
            const double lon = c.lon + e / (geo::kMetresPerDegreeEast * std::cos(lat * geo::kDegToRad));
            ring.record({lat, lon});
            placed.emplace_back(lat, lon);
        }
        // The plain way: each point's own cosine, the pen lifted off the square.
        std::vector<std::vector<Point>> want(1);
        for (const geo::LatLon& p : placed) {
            const auto o = geo::LatLonToMetres(p, fix);
            const auto at =
                geo::screenPoint(*o, c.radius, map.left + kTrailCentreDx, map.top + kTrailCentreDy);
            if (!at) {
                if (!want.back().empty())
                    want.emplace_back();
                continue;
            }
            want.back().push_back({at->x, at->y});
        }
        std::vector<Point> got, expected;
        for (const auto& r : trailPolylines(ring, fix, c.radius, map))
            got.insert(got.end(), r.points.begin(), r.points.end());
        for (const auto& r : want) {
            std::vector<Point> deduped;
            for (const Point& p : r)
                if (deduped.empty() || !(deduped.back() == p))
                    deduped.push_back(p);
            if (deduped.size() == 1 && r.size() >= 2)
                deduped.push_back(deduped.front());
            if (deduped.size() >= 2)
                expected.insert(expected.end(), deduped.begin(), deduped.end());
        }
        EXPECT_EQ(got, expected);
    }
    // Three points on one pixel still draw it; one point alone draws nothing.
    TrackRing ring;
    ring.allocate(5);
    for (double e : {0.0, 1.0, 2.0}) {
        auto c = cameraAt(e + 100, 0, "");
        ring.record({c.lat, c.lon});
    }
    const auto runs = trailPolylines(ring, geo::LatLon::ofFix(kFixLat, kFixLon), 4000, map);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].points.size(), 2u);
    EXPECT_EQ(runs[0].points[0], runs[0].points[1]);
}

TEST_F(LoggingFixture, RecordsOnlyNewSentencesFasterThanOneKnot)
{
    store(1, 1, 500);
    t.load();
    t.recordFix(false, {.position = {51.0, -1.0}, .speedKnots = 30.0});
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 1.0});
    EXPECT_EQ(t.ring().index(), 501);
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 1.01});
    EXPECT_EQ(t.ring().slot(0)->lat, 51.0);
    // Moving without a position yet: the index moves on past an empty slot.
    t.recordFix(true, {.position = {}, .speedKnots = 5.0});
    EXPECT_EQ(t.ring().index(), 1);
    EXPECT_EQ(t.ring().slot(1)->lat, 0.0);
    for (int i = 2; i <= 501; ++i) // slot 500 = TrackLength is used, then back to 0
        t.recordFix(true, {.position = {52.0, double(i)}, .speedKnots = 5.0});
    EXPECT_EQ(std::pair(t.ring().slot(500)->lon, t.ring().slot(0)->lon), std::pair(500.0, 501.0));
}

// Start-up sizes for 5000 without a length; the dialog clamps it as unsigned (-1 is huge).
TEST_F(LoggingFixture, StartUpAndDialogLengths)
{
    s.set(keys::LogTrack, 1u); // the others cannot be read
    t.load();
    EXPECT_EQ(t.ring().slotCount(), 5001u);
    EXPECT_FALSE(t.displayTrack());
    for (auto [text, stored] :
         {std::pair{"100", 500u}, {"2500", 2500u}, {"9000", 5000u}, {"-1", 5000u}, {"", 500u}})
        EXPECT_EQ(trackLengthToStore(text), stored) << text;
    t.storeDialog(true, false, "-20");
    EXPECT_EQ(stored(keys::LogTrack), 1u);
    EXPECT_EQ(stored(keys::DisplayTrack), 0u);
    EXPECT_EQ(s.get(keys::TrackLength)->number, 5000u);
}

TEST_F(LoggingFixture, AfterTheDialogTheRingFollowsTheSettings)
{
    store(0, 0, 1000);
    t.load();
    t.storeDialog(true, true, "1000");
    t.afterDialog();
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 10.0});
    t.afterDialog(); // same length again: the ring and its track are kept
    EXPECT_EQ(t.ring().slot(0)->lat, 51.0);
    t.storeDialog(true, true, "600"); // a new length starts a new ring
    t.afterDialog();
    EXPECT_EQ(t.ring().slotCount(), 601u);
    EXPECT_EQ(t.ring().slot(0)->lat, 0.0);
    s.erase(keys::TrackLength); // unreadable after the dialog: 1000
    t.afterDialog();
    EXPECT_EQ(t.trackLength(), 1000);
    t.storeDialog(false, false, "1000");
    t.afterDialog();
    EXPECT_FALSE(t.ring().allocated());
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(LoggingFixture, OutOfMemoryTurnsLoggingOffWithOneMessage)
{
    store(1, 1, 5000);
    t.allocator = [](TrackRing& ring, int) {
        ring.allocate(10); // some memory was taken before it ran out
        throw std::bad_alloc();
    };
    t.load();
    EXPECT_FALSE(t.ring().allocated());
    EXPECT_FALSE(t.displayTrack());
    EXPECT_EQ(stored(keys::LogTrack), 0u);
    EXPECT_EQ(stored(keys::DisplayTrack), 0u);
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"There is not enough memory for track logging.\n"
                                                       "Track logging will be turned off"});
}
