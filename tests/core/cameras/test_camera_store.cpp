// Camera file reading, the load radius and the nearest-camera searches.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraFile.h"
#include "cameras/CameraStore.h"
#include "cameras/NearCameraRows.h"
#include "core/cameras/CameraTestKit.h"

using namespace varno;
using namespace varno::cameras;
using varno::test::cameraLine;
using varno::test::northOf;

namespace {

constexpr double kFixLat = 51.5;
constexpr double kFixLon = -0.12;
constexpr geo::LatLon kFix{kFixLat, kFixLon};

struct StoreFixture : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    CameraStore store{settings, prompt, dir.file("root")};
    int gpsStops = 0;

    StoreFixture()
    {
        store.stopGps = [this] { ++gpsStops; };
    }
    void useFile(const std::string& text)
    {
        settings.set(settings::keys::CameraFile, dir.file("cams.txt"));
        test::writeBytes(dir.file("cams.txt"), text);
    }
    std::vector<CameraPoint> load(double radius = 4000, double lat = kFixLat, double lon = kFixLon)
    {
        store.LoadCameraList(radius, geo::LatLon::ofFix(lat, lon));
        return store.cameras().value_or(std::vector<CameraPoint>{});
    }
};

} // namespace

TEST(CameraDistance, UsesTheCameraLatitudeCosineAndNeedsBothPositions)
{
    // East offset with the cosine of the camera's latitude, not the fix's.
    double d = CameraDistance(geo::LatLon(60.0, 1.0), geo::LatLon::ofFix(50.0, 0.0));
    double north = 10.0 * 111248.4, east = std::cos(60.0 * 0.017453292519943295) * 111319.2;
    EXPECT_DOUBLE_EQ(d, std::sqrt(north * north + east * east));
    EXPECT_EQ(CameraDistance(geo::LatLon::ofPlace(0.0, 1.0), kFix), -1.0);
    EXPECT_EQ(CameraDistance(geo::LatLon(51.0, 1.0), geo::LatLon::ofFix(0.0, 1.0)), -1.0);
    // A fix longitude of exactly 0 is a real place (Greenwich).
    EXPECT_GT(CameraDistance(geo::LatLon(51.0, 0.1), geo::LatLon::ofFix(51.0, 0.0)), 0.0);
    // A record with a zero longitude is not placed.
    CameraPoint unplaced = parseCameraLine("51.5,0,,,,GATSO");
    EXPECT_EQ(CameraDistance(unplaced, kFix), -1.0);
}

TEST(CameraLine, CutsFieldsAndDropsOpeningQuotesOnly)
{
    CameraPoint p = parseCameraLine(
        "51.123456789012345, -0.5,\"A road with a long name\",  Town,Haz,\"GATSO\",Yes,30mph,extra,more");
    EXPECT_EQ(p.Latitude, "51.12345678901"); // 14
    EXPECT_EQ(p.Longitude, "-0.5");
    EXPECT_EQ(p.Road, "A road with a "); // opening quote gone, cut to 14
    EXPECT_EQ(p.CamType, "GATSO\"");     // the closing quote stays
    EXPECT_EQ(p.SpeedLimit, "30m");

    // A cut never splits a UTF-8 character: 13 bytes, then a two-byte one.
    CameraPoint u = parseCameraLine("1,2,Stra\xc3\x9f"
                                    "eXXXXXX\xc3\xa9,x");
    EXPECT_EQ(u.Road, "Stra\xc3\x9f"
                      "eXXXXXX");
}

TEST(CameraFileIndex, PositionComesFromTheFirstTwoNonEmptyTokens)
{
    // Empty second field: the third field is the longitude for selection.
    EXPECT_EQ(CameraFile::linePosition("51.5,,-0.2,Town"), geo::LatLon(51.5, -0.2));
    EXPECT_FALSE(CameraFile::linePosition("51.5"));
    EXPECT_FALSE(CameraFile::linePosition("51.5,0,x"));
    EXPECT_FALSE(CameraFile::linePosition("0,-0.2,x"));
    EXPECT_FALSE(CameraFile::linePosition("\"51.5\",\"-0.1\"")); // quoted numbers read 0
}

TEST_F(StoreFixture, KeepsFileOrderAndTheExactCommaFields)
{
    useFile("Latitude,Longitude,Road,Town\r\n" + cameraLine(northOf(kFixLat, 900), kFixLon, "GATSO", "30") +
            "51.5,,-0.12,Town\r\n" + // longitude field empty
            cameraLine(northOf(kFixLat, 100), kFixLon, "MOBILE") +
            cameraLine(northOf(kFixLat, 9000), kFixLon, "FAR"));
    auto cams = load();
    ASSERT_EQ(cams.size(), 3u);
    EXPECT_EQ(cams[0].CamType, "GATSO");
    EXPECT_EQ(cams[1].Longitude, "");
    EXPECT_EQ(cams[1].Road, "-0.12");
    EXPECT_TRUE(prompt.shown.empty());

    // The camera without a Longitude text has no distance; the real one
    // 100 m away is nearest (it must not be hidden behind a -1).
    EXPECT_NEAR(store.NearestCamera(kFix), 100.0, 1e-4);
    EXPECT_EQ(store.nearestCamera()->CamType, "MOBILE");
}

TEST_F(StoreFixture, RadiusIsAtLeast4000AndTheEdgeIsIn)
{
    double lat5k = northOf(kFixLat, 5000);
    double lat3k = northOf(kFixLat, 3999);
    useFile(cameraLine(lat5k, kFixLon, "FIVE") + cameraLine(lat3k, kFixLon, "FOUR"));
    // 500 m still selects within 4000 m.
    auto cams = load(500);
    ASSERT_EQ(cams.size(), 1u);
    EXPECT_EQ(cams[0].CamType, "FOUR");

    // Exactly at the radius is in; the next smaller radius leaves it out.
    // The selection uses the position as the line's text reads.
    double latText = leadingDouble(fmt::sprintf("%.9f", lat5k));
    double edge = CameraDistance(geo::LatLon(latText, leadingDouble(fmt::sprintf("%.9f", kFixLon))), kFix);
    EXPECT_EQ(load(edge).size(), 2u);
    EXPECT_EQ(load(std::nextafter(edge, 0.0)).size(), 1u);
}

TEST_F(StoreFixture, NoPositionLeavesTheOldListAndClearsTheNearestLink)
{
    useFile(cameraLine(northOf(kFixLat, 300), kFixLon, "GATSO"));
    load();
    store.NearestCamera(kFix);
    ASSERT_NE(store.nearestCamera(), nullptr);
    useFile("");
    store.LoadCameraList(4000, geo::LatLon());
    EXPECT_EQ(store.nearestCamera(), nullptr);
    EXPECT_EQ(store.cameras()->size(), 1u);
    EXPECT_EQ(store.NearestCamera(geo::LatLon()), -1.0);
}

TEST_F(StoreFixture, NearestSearchesBeforeAndAfterALoad)
{
    EXPECT_EQ(store.NearestCamera(kFix), -1.0); // no list yet
    EXPECT_EQ(store.NearestSpecsCamera(kFix), 20000000.0);
    useFile(cameraLine(northOf(kFixLat, 9000), kFixLon, "GATSO"));
    load();
    EXPECT_EQ(store.NearestCamera(kFix), 20000000.0); // built, empty
    EXPECT_EQ(nearCameraRows(store.cameras(), kFix).size(), 0u);

    // Only specs cameras, of any case, count for the specs search.
    useFile(cameraLine(northOf(kFixLat, 500), kFixLon, "GATSO") +
            cameraLine(northOf(kFixLat, 700), kFixLon, "Specs") +
            cameraLine(northOf(kFixLat, 600), kFixLon, "SPECS2"));
    load();
    EXPECT_NEAR(store.NearestSpecsCamera(kFix), 600.0, 1e-4);
    EXPECT_EQ(store.nearestSpecsCamera()->CamType, "SPECS2");
}

TEST_F(StoreFixture, NearCameraRows)
{
    EXPECT_EQ(nearCameraRows(store.cameras(), kFix),
              std::vector<NearCameraRow>{NearCameraRow{"Camera list is empty"}});
    useFile("51.51,-0.12,Road,Town,Haz,GATSO,P,30\n51.5,,-0.12\n");
    load();
    auto rows = nearCameraRows(store.cameras(), kFix);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
              (NearCameraRow{"1.109 km", "51.51", "-0.12", "GATSO", "Road", "Town", "Haz", "P", "30"}));
    EXPECT_EQ(rows[1][0], "empty");
    // The dialog holds the fix to the cameras' rule: no distance on the meridian.
    EXPECT_EQ(nearCameraRows(store.cameras(), geo::LatLon::ofFix(51.5, 0.0))[0][0], "empty");
}

TEST_F(StoreFixture, ExclusionIsAskedOnlyWhenExcludeReadsOne)
{
    useFile(cameraLine(northOf(kFixLat, 100), kFixLon, "GATSO") +
            cameraLine(northOf(kFixLat, 200), kFixLon, "MOBILE"));
    std::vector<std::string> asked;
    store.excludedByRoute = [&](std::string_view line) {
        asked.emplace_back(line);
        return line.find("GATSO") != std::string_view::npos;
    };
    EXPECT_EQ(load().size(), 2u); // Exclude missing
    EXPECT_TRUE(asked.empty());
    settings.set(settings::keys::Exclude, 1);
    auto cams = load();
    ASSERT_EQ(cams.size(), 1u);
    EXPECT_EQ(cams[0].CamType, "MOBILE");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0].back(), '\n'); // the raw line, its line end removed
}

TEST_F(StoreFixture, FailuresAreShownAndStopTheGps)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
    store.CameraReloadCount = 61;
    load();
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0], "Error can't open the camera location file\n" + dir.file("missing.txt") +
                                     "\nPlease check the setup/registry.");
    EXPECT_EQ(gpsStops, 1);
    EXPECT_EQ(store.CameraReloadCount, 61); // tried again on the next fix

    // Key present, value missing: the reader's message, then the loader's.
    prompt.shown.clear();
    settings.erase(settings::keys::CameraFile);
    load();
    EXPECT_EQ(
        prompt.texts(),
        (std::vector<std::string>{
            "Unable read the camera file name from the registry.",
            "Error can't get the camera filename from the registry.\nPlease check the setup/registry."}));
    // No key at all: only the loader's message.
    prompt.shown.clear();
    settings.removeKey();
    load();
    EXPECT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(gpsStops, 3);
}

TEST_F(StoreFixture, BusyFlagTurnsAwayAReentrantLoad)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
    // The message box's loop delivers another fix: the nested load and the
    // searches must see the busy flag and do nothing.
    struct Reentrant final : Prompt {
        CameraStore* store = nullptr;
        int nested = 0;
        double nearest = 0;
        PromptAnswer show(const std::string&, PromptButtons, PromptIcon, const std::string&) override
        {
            store->LoadCameraList(4000, kFix);
            nearest = store->NearestCamera(kFix);
            ++nested;
            return PromptAnswer::Ok;
        }
    } reentrant;
    CameraStore s(settings, reentrant, dir.file("root"));
    reentrant.store = &s;
    s.LoadCameraList(4000, kFix);
    EXPECT_EQ(reentrant.nested, 1); // the nested load showed nothing
    EXPECT_EQ(reentrant.nearest, -1.0);
}

TEST_F(StoreFixture, ReloadReadsTheFileOnlyWhenItChanged)
{
    useFile(cameraLine(northOf(kFixLat, 100), kFixLon, "GATSO"));
    load();
    load();
    EXPECT_EQ(store.fileParseCount(), 1u);
    // Same path, new content (and size): read again.
    useFile(cameraLine(northOf(kFixLat, 100), kFixLon, "GATSO") +
            cameraLine(northOf(kFixLat, 50), kFixLon, "NEW"));
    EXPECT_EQ(load().size(), 2u);
    // Moving elsewhere selects from memory.
    EXPECT_EQ(load(4000, northOf(kFixLat, 20000)).size(), 0u);
    EXPECT_EQ(store.fileParseCount(), 2u);
}

TEST_F(StoreFixture, ALoadThatFailedIsNotKeptAsTheUnchangedList)
{
    useFile(cameraLine(northOf(kFixLat, 300), kFixLon, "GATSO"));
    ASSERT_EQ(load().size(), 1u);
    // The setting cannot be read for a while (the settings file being edited):
    // that load leaves an empty list.
    const std::string file = dir.file("cams.txt");
    settings.erase(settings::keys::CameraFile);
    EXPECT_TRUE(load().empty());
    // Back again, same file, same place: the camera is listed again, not the
    // empty list of the failed load taken for "nothing changed".
    settings.set(settings::keys::CameraFile, file);
    auto cams = load();
    ASSERT_EQ(cams.size(), 1u);
    EXPECT_EQ(store.NearestCamera(kFix), CameraDistance(cams[0], kFix));
    EXPECT_EQ(store.fileParseCount(), 1u);
}

TEST_F(StoreFixture, ReloadsOnTheMoveListWhatAFreshLoadLists)
{
    // Cameras every 500 m along the meridian, some excluded by a route whose
    // answers change on the way; a store that keeps reloading must list
    // exactly what a new store lists at each place, and find the same nearest.
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += cameraLine(northOf(kFixLat, 500.0 * i), kFixLon, i % 4 == 0 ? "SPECS" : "GATSO",
                           std::to_string(i));
    useFile(text);
    std::string excludedLimit = "7";
    auto route = [&](std::string_view line) { return line.ends_with("GATSO,P," + excludedLimit); };
    store.excludedByRoute = route;
    for (int step = 0; step < 40; ++step) {
        settings.set(settings::keys::Exclude, step >= 10 && step < 30 ? 1 : 0);
        if (step == 20)
            excludedLimit = "9";
        const double lat = northOf(kFixLat, 700.0 * step - 3000.0 * (step >= 25));
        auto moving = load(4000, lat);

        CameraStore fresh{settings, prompt, dir.file("root")};
        fresh.excludedByRoute = route;
        const geo::LatLon at(lat, kFixLon);
        fresh.LoadCameraList(4000, at);
        ASSERT_EQ(moving, *fresh.cameras()) << "step " << step;
        EXPECT_EQ(store.NearestCamera(at), fresh.NearestCamera(at));
        EXPECT_EQ(store.nearestCamera()->SpeedLimit, fresh.nearestCamera()->SpeedLimit);
        EXPECT_EQ(store.NearestSpecsCamera(at), fresh.NearestSpecsCamera(at));
        EXPECT_EQ(store.nearestSpecsCamera()->SpeedLimit, fresh.nearestSpecsCamera()->SpeedLimit);
    }
}

TEST_F(StoreFixture, LongLinesArriveInPiecesAndStrangeNumbersAreNoCameras)
{
    // A line longer than 298 bytes: its second piece is a line of its own.
    std::string longLine = "51.5,-0.12,Road,Town," + std::string(277, 'h');
    ASSERT_EQ(longLine.size(), 298u);
    useFile(longLine + "51.501,-0.12,,,,TAIL\n" + "nan,nan,,,,NAN\n" + "1e999,5,,,,HUGE\n");
    auto cams = load();
    ASSERT_EQ(cams.size(), 2u);
    EXPECT_EQ(cams[0].Hazard.size(), 57u);
    EXPECT_EQ(cams[1].CamType, "TAIL");
}

TEST(CameraFileIndex, GridSelectionMatchesAPlainScan)
{
    // Cameras scattered over a wide area, near the poles and the date line:
    // the grid must find exactly what testing every line finds.
    std::string text;
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < 20000; ++i) {
        double lat = i % 7 == 0 ? 89.0 + next() : 40 + next() * 30;
        double lon = i % 11 == 0 ? 179.0 + next() * 1.0 : -10 + next() * 20;
        text += fmt::sprintf("%f,%f,,,,T%d,,\n", lat, lon, i);
    }
    CameraFile file(text);
    struct Probe {
        double lat, lon, radius;
    } probes[] = {
        {51.5, -0.1, 4000}, {51.5, -0.1, 256000}, {89.5, 179.5, 64000}, {60, 5, 2e6}, {45, 9.99, 16000}};
    for (auto p : probes) {
        std::vector<std::string_view> expect;
        for (std::size_t i = 0; i < file.size(); ++i) {
            double d = CameraDistance(CameraFile::linePosition(file.line(i)), geo::LatLon(p.lat, p.lon));
            if (d != -1.0 && !(d > p.radius))
                expect.push_back(file.line(i));
        }
        EXPECT_EQ(file.select(geo::LatLon(p.lat, p.lon), p.radius), expect)
            << p.lat << "," << p.lon << " r=" << p.radius;
    }
}
