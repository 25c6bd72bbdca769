// The cameras: the file, the store and its searches, whole-number texts, the per-fix warning
// rule, average-speed zones, the voice catalogue and mute, and Mark Location.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

#include <fmt/printf.h>

#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraFile.h"
#include "cameras/CameraStore.h"
#include "cameras/CameraWarner.h"
#include "cameras/MarkLocation.h"
#include "cameras/NearCameraRows.h"
#include "cameras/VoicePlayer.h"
#include "cameras/detail/NearestIndex.h"
#include "cameras/detail/WholeNumber.h"
#include "core/base/ScratchFiles.h"
#include "core/gps/test_nmea_sentence.h"
#include "geo/MapGeometry.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/LogReplay.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"

using namespace varno;
using namespace varno::cameras;
using namespace varno::test;
using Files = std::vector<std::string>;

namespace {

// A latitude metres north of lat: the camera distance is within nanometres of metres.
inline double northOf(double lat, double metres)
{
    return lat + metres / geo::kMetresPerDegreeNorth;
}

// A camera line with nine decimals, so distances come out within a millimetre.
inline std::string cameraLine(double lat, double lon, const std::string& type, const std::string& limit = "")
{
    return fmt::sprintf("%.9f,%.9f,A1,Town,Hazard,%s,P,%s\n", lat, lon, type, limit);
}

// Records the paths the program asked to play, in order; files(): the names alone ("0.wav").
struct RecordingVoicePlayer final : cameras::VoicePlayer {
    void play(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> files() const
    {
        std::vector<std::string> f;
        for (const auto& p : played)
            f.push_back(p.substr(p.rfind('/') + 1));
        return f;
    }
    std::vector<std::string> played;
};

// A warner over a temporary camera file, recording what it says and shows.
struct WarnerRig {
    ScratchDir dir;
    RecordingPrompt prompt;
    TestSettings settings{prompt};
    RecordingVoicePlayer player;
    gps::CNmeaDecoder fix;
    std::unique_ptr<cameras::CameraWarner> warner;
    WarnerRig(const std::string& cameras, double lon)
    {
        settings.set(settings::keys::VoiceFolder, "C:\\VARNO\\Voice");
        settings.set(settings::keys::MapScale, 4000);
        useCameras(cameras);
        warner = std::make_unique<cameras::CameraWarner>(settings, prompt, player, dir.file("root"));
        fix.Longitude = lon;
    }
    void useCameras(const std::string& text)
    {
        settings.set(settings::keys::CameraFile, dir.file("cams.txt"));
        writeBytes(dir.file("cams.txt"), text);
    }
};

constexpr double kFixLat = 51.5;
constexpr double kFixLon = -0.12;
constexpr geo::LatLon kFix{kFixLat, kFixLon};

// The store of a warner rig, loaded by hand.
struct StoreFixture : ::testing::Test, WarnerRig {
    CameraStore& store = warner->store;
    int gpsStops = 0;
    StoreFixture() : WarnerRig("", kFixLon)
    {
        store.stopGps = [this] { ++gpsStops; };
    }
    // Cameras `metres` north of the fix, of these types.
    void useNorth(std::initializer_list<std::pair<double, const char*>> cams)
    {
        std::string text;
        for (auto [metres, type] : cams)
            text += cameraLine(northOf(kFixLat, metres), kFixLon, type);
        useCameras(text);
    }
    std::vector<CameraPoint> load(double radius = 4000, double lat = kFixLat)
    {
        store.LoadCameraList(radius, geo::LatLon::ofFix(lat, kFixLon));
        return store.cameras().value_or(std::vector<CameraPoint>{});
    }
};

struct Cam {
    double lat, lon;
};

// The index finds the walk's camera (the first nearest below noCamera) and distance, to the bit.
// `take`: only the cameras it takes count, in the walk and, as a filter, in the search.
void expectSameAsWalk(const std::vector<Cam>& cams, double fixLat, double fixLon, double noCamera = 2e7,
                      bool (*take)(std::size_t) = nullptr)
{
    std::optional<std::size_t> want = SIZE_MAX, got = SIZE_MAX; // left alone when none is nearer
    double w = noCamera;
    detail::NearestIndex index;
    for (std::size_t i = 0; i < cams.size(); ++i) {
        const geo::LatLon at = geo::LatLon::ofPlace(cams[i].lat, cams[i].lon);
        if (at)
            index.add(at, std::cos(cams[i].lat * geo::kDegToRad), i);
        double d = CameraDistance(at, geo::LatLon::ofFix(fixLat, fixLon));
        if (d != kNoDistance && d < w && (!take || take(i)))
            w = d, want = i;
    }
    index.finish();
    using Take = bool (*)(std::size_t);
    const auto accept = [](const void* t, std::size_t i) { return (*static_cast<const Take*>(t))(i); };
    const double g = take ? index.nearest(geo::LatLon(fixLat, fixLon), noCamera, got, {accept, &take})
                          : index.nearest(geo::LatLon(fixLat, fixLon), noCamera, got);
    EXPECT_EQ(std::memcmp(&w, &g, sizeof w), 0) << w << " vs " << g;
    EXPECT_EQ(want, got);
}

const std::string kGatso = "51.5,-0.12,A1,Town,Hazard,GATSO,P,30\n";

struct WarnerFixture : ::testing::Test, WarnerRig {
    int clock = 10 * 3600; // [s] UTC time of the next fix
    WarnerFixture() : WarnerRig(kGatso, kFixLon) {}
    // One fix d metres south of the camera, `seconds` after the previous one.
    void at(double d, int seconds = 1)
    {
        clock += seconds;
        fix.GgaHour = static_cast<std::uint8_t>(clock / 3600 % 24);
        fix.GgaMinute = static_cast<std::uint8_t>(clock / 60 % 60);
        fix.GgaSecond = static_cast<std::uint8_t>(clock % 60);
        fix.Latitude = kFixLat - d / geo::kMetresPerDegreeNorth;
        warner->UpdateCameraWarnings(fix.fix());
    }
    // What the fixes at these distances announce.
    Files drive(std::initializer_list<double> distances)
    {
        player.played.clear();
        for (double d : distances)
            at(d);
        return player.files();
    }
    void reload(const std::string& cameras)
    {
        useCameras(cameras);
        warner->forceReload();
    }
};

// Specs camera A, and B 2000 m north of it on the same road; average speed on.
struct SpecsFixture : WarnerFixture {
    SpecsFixture()
    {
        useCameras(cameraLine(kFixLat, kFixLon, "SPECS") +
                   cameraLine(northOf(kFixLat, 2000), kFixLon, "Specs"));
        settings.set(settings::keys::AverageSpeed, 1);
        specs().reset();
    }
    // A fix metresNorth of camera A.
    void at(double metresNorth, int seconds = 1) { WarnerFixture::at(-metresNorth, seconds); }
    long specsPlayed() const
    {
        auto f = player.files();
        return std::count(f.begin(), f.end(), "Specs.wav");
    }
    AverageSpeed& specs() { return warner->specs; }
};

} // namespace

TEST(CameraDistance, UsesTheCameraLatitudeCosineAndNeedsBothPositions)
{
    double d = CameraDistance(geo::LatLon(60.0, 1.0), geo::LatLon::ofFix(50.0, 0.0));
    double north = 10.0 * 111248.4, east = std::cos(60.0 * 0.017453292519943295) * 111319.2;
    EXPECT_DOUBLE_EQ(d, std::sqrt(north * north + east * east));
    // Zero fix latitudes are no position, a zero fix longitude is; cameras need both non-zero.
    for (auto [camera, fix] : {std::pair{geo::LatLon::ofPlace(0.0, 1.0), kFix},
                               {geo::LatLon::ofPlace(51.0, 0.0), kFix},
                               {geo::LatLon(51.0, 1.0), geo::LatLon::ofFix(0.0, 1.0)},
                               {geo::LatLon(51.0, 1.0), geo::LatLon::ofFix(-0.0, 1.0)}})
        EXPECT_EQ(CameraDistance(camera, fix), -1.0) << camera.latDeg() << "," << camera.lonDeg();
    EXPECT_GT(CameraDistance(geo::LatLon(51.0, 0.1), geo::LatLon::ofFix(51.0, 0.0)), 0.0);
    EXPECT_EQ(geo::LatLon::ofFix(0.0, 5.0), geo::LatLon()); // no position reads 0.0
    EXPECT_EQ(CameraDistance(parseCameraLine("51.5,0,,,,GATSO"), kFix), -1.0);
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
    EXPECT_EQ(parseCameraLine("1,2,Stra\u00dfeXXXXXX\u00e9,x").Road, "Stra\u00dfeXXXXXX");
}

TEST(CameraFileIndex, PositionComesFromTheFirstTwoNonEmptyTokens)
{
    EXPECT_EQ(CameraFile::linePosition("51.5,,-0.2,Town"), geo::LatLon(51.5, -0.2));
    for (const char* line : {"51.5", "51.5,0,x", "0,-0.2,x", "\"51.5\",\"-0.1\""}) // quoted numbers read 0
        EXPECT_FALSE(CameraFile::linePosition(line)) << line;
}

TEST_F(StoreFixture, KeepsFileOrderAndTheExactCommaFields)
{
    useCameras("Latitude,Longitude,Road,Town\r\n" +
               cameraLine(northOf(kFixLat, 900), kFixLon, "GATSO", "30") +
               "51.5,,-0.12,Town\r\n" + // longitude field empty
               cameraLine(northOf(kFixLat, 100), kFixLon, "MOBILE") +
               cameraLine(northOf(kFixLat, 9000), kFixLon, "FAR"));
    auto cams = load();
    ASSERT_EQ(cams.size(), 3u);
    EXPECT_EQ(cams[0].CamType, "GATSO");
    EXPECT_EQ(cams[1].Longitude, "");
    EXPECT_EQ(cams[1].Road, "-0.12");
    EXPECT_TRUE(prompt.shown.empty());
    // The camera without a Longitude text must not hide the real nearest behind a -1.
    EXPECT_NEAR(store.NearestCamera(kFix), 100.0, 1e-4);
    EXPECT_EQ(store.nearestCamera()->CamType, "MOBILE");
}

TEST_F(StoreFixture, RadiusIsAtLeast4000AndTheEdgeIsIn)
{
    double lat5k = northOf(kFixLat, 5000);
    useNorth({{5000, "FIVE"}, {3999, "FOUR"}});
    auto cams = load(500);
    ASSERT_EQ(cams.size(), 1u);
    EXPECT_EQ(cams[0].CamType, "FOUR");
    // Exactly at the radius (from the position as the line's text reads) is in.
    double latText = leadingDouble(fmt::sprintf("%.9f", lat5k));
    double edge = CameraDistance(geo::LatLon(latText, leadingDouble(fmt::sprintf("%.9f", kFixLon))), kFix);
    EXPECT_EQ(load(edge).size(), 2u);
    EXPECT_EQ(load(std::nextafter(edge, 0.0)).size(), 1u);
}

TEST_F(StoreFixture, NearestSearchesBeforeAndAfterALoadAndWithoutAPosition)
{
    EXPECT_EQ(store.NearestCamera(kFix), -1.0); // no list yet
    EXPECT_EQ(store.NearestSpecsCamera(kFix), 20000000.0);
    EXPECT_EQ(nearCameraRows(store.cameras(), kFix),
              std::vector<NearCameraRow>{NearCameraRow{"Camera list is empty"}});
    useNorth({{9000, "GATSO"}});
    load();
    EXPECT_EQ(store.NearestCamera(kFix), 20000000.0); // built, empty
    // Only specs cameras, of any case, count for the specs search.
    useNorth({{500, "GATSO"}, {700, "Specs"}, {600, "SPECS2"}});
    load();
    EXPECT_NEAR(store.NearestSpecsCamera(kFix), 600.0, 1e-4);
    EXPECT_EQ(store.nearestSpecsCamera()->CamType, "SPECS2");
    // No position keeps the old list but clears the nearest link.
    ASSERT_GT(store.NearestCamera(kFix), 0.0);
    useCameras("");
    store.LoadCameraList(4000, geo::LatLon());
    EXPECT_EQ(store.nearestCamera(), nullptr);
    EXPECT_EQ(store.cameras()->size(), 3u);
    EXPECT_EQ(store.NearestCamera(geo::LatLon()), -1.0);
}

TEST_F(StoreFixture, NearCameraRows)
{
    useCameras("51.51,-0.12,Road,Town,Haz,GATSO,P,30\n51.5,,-0.12\n");
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
    useNorth({{100, "GATSO"}, {200, "MOBILE"}});
    std::vector<std::string> asked;
    store.excludedByRoute = [&](std::string_view line) {
        asked.emplace_back(line);
        return line.find("GATSO") != std::string_view::npos;
    };
    EXPECT_EQ(load().size(), 2u); // Exclude missing
    EXPECT_TRUE(asked.empty());
    settings.set(settings::keys::Exclude, 1);
    EXPECT_EQ(load().at(0).CamType, "MOBILE");
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked.at(0).find('\n'), std::string::npos); // the raw line, its line end removed
}

TEST_F(StoreFixture, FailuresAreShownAndStopTheGps)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
    store.CameraReloadCount = 61;
    load();
    EXPECT_EQ(prompt.texts().size(), 1u); // its text: see the warner's replay test
    EXPECT_EQ(gpsStops, 1);
    EXPECT_EQ(store.CameraReloadCount, 61); // tried again on the next fix
    // Key present, value missing: the reader's message, then the loader's.
    prompt.shown.clear();
    settings.erase(settings::keys::CameraFile);
    load();
    const std::string noName =
        "Error can't get the camera filename from the registry.\nPlease check the setup/registry.";
    EXPECT_EQ(prompt.texts(),
              (std::vector<std::string>{"Unable read the camera file name from the registry.", noName}));
    prompt.shown.clear();
    settings.removeKey(); // no key at all: only the loader's message
    load();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{noName});
    EXPECT_EQ(gpsStops, 3);
}

TEST_F(StoreFixture, AFifoADeviceOrAHugeFileIsRefusedWithoutReadingIt)
{
    const std::string fifo = dir.file("cams.fifo"), huge = dir.file("huge.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    writeBytes(huge, "51.5,-0.1,,,,A,,\n");
    std::filesystem::resize_file(huge, kMaxInputFileBytes + 1); // sparse
    for (const auto& [path, why] : {std::pair<std::string, std::string>{fifo, "not a regular file"},
                                    {"/dev/zero", "not a regular file"},
                                    {huge, "larger than 1 GiB"}}) {
        SCOPED_TRACE(path);
        prompt.shown.clear();
        settings.set(settings::keys::CameraFile, path);
        store.CameraReloadCount = 61;
        ASSERT_TRUE(test::finishesWithin(std::chrono::seconds(5), [&] { load(); }));
        EXPECT_EQ(prompt.texts(),
                  std::vector<std::string>{"Error can't open the camera location file\n" + path + ": " + why +
                                           "\nPlease check the setup/registry."});
    }
}

// A fix delivered by the message box's loop must find the store busy and do nothing.
TEST_F(StoreFixture, BusyFlagTurnsAwayAReentrantLoad)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
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

TEST_F(StoreFixture, ReloadReadsTheFileOnlyWhenItChangedButAfterEveryFailedLoad)
{
    useNorth({{100, "GATSO"}});
    load();
    load();
    EXPECT_EQ(store.fileParseCount(), 1u);
    // The empty list of a failed load is not "nothing changed" once the file is back.
    const std::string file = dir.file("cams.txt");
    settings.erase(settings::keys::CameraFile);
    EXPECT_TRUE(load().empty());
    settings.set(settings::keys::CameraFile, file);
    ASSERT_EQ(load().size(), 1u);
    EXPECT_NEAR(store.NearestCamera(kFix), 100.0, 1e-4);
    EXPECT_EQ(store.fileParseCount(), 1u);
    // Same path, new content (and size): read again; moving selects from memory.
    useNorth({{100, "GATSO"}, {50, "NEW"}});
    EXPECT_EQ(load().size(), 2u);
    EXPECT_EQ(load(4000, northOf(kFixLat, 20000)).size(), 0u);
    EXPECT_EQ(store.fileParseCount(), 2u);
}

// Reloading on the move, with a changing route exclusion, lists what a new store lists.
TEST_F(StoreFixture, ReloadsOnTheMoveListWhatAFreshLoadLists)
{
    std::string text;
    for (int i = 0; i < 60; ++i)
        text +=
            cameraLine(northOf(kFixLat, 500.0 * i), kFixLon, i % 4 ? "GATSO" : "SPECS", std::to_string(i));
    useCameras(text);
    std::string excludedLimit = "7";
    auto route = [&](std::string_view line) { return line.ends_with("GATSO,P," + excludedLimit); };
    store.excludedByRoute = route;
    for (int step = 0; step < 40; ++step) {
        settings.set(settings::keys::Exclude, step >= 10 && step < 30 ? 1 : 0);
        if (step == 20)
            excludedLimit = "9";
        const double lat = northOf(kFixLat, 700.0 * step - 3000.0 * (step >= 25));
        const geo::LatLon at(lat, kFixLon);
        CameraStore fresh{settings, prompt, dir.file("root")};
        fresh.excludedByRoute = route;
        fresh.LoadCameraList(4000, at);
        ASSERT_EQ(load(4000, lat), *fresh.cameras()) << "step " << step;
        EXPECT_EQ(store.NearestCamera(at), fresh.NearestCamera(at));
        EXPECT_EQ(store.NearestSpecsCamera(at), fresh.NearestSpecsCamera(at));
        EXPECT_EQ(*store.nearestSpecsCamera(), *fresh.nearestSpecsCamera());
    }
}

TEST_F(StoreFixture, LongLinesLoseTheirRestAndStrangeNumbersAreNoCameras)
{
    // A line longer than 298 bytes keeps its first 298; the rest is no camera.
    std::string longLine = "51.5,-0.12,Road,Town," + std::string(277, 'h');
    useCameras(longLine + "51.501,-0.12,,,,TAIL\n" + "nan,nan,,,,NAN\n" + "1e999,5,,,,HUGE\n" +
               "51.502,-0.12,,,,NEXT\r");
    std::vector<std::string> notes;
    store.noted = [&](const std::string& note) { notes.push_back(note); };
    auto cams = load();
    ASSERT_EQ(cams.size(), 2u);
    EXPECT_EQ(cams[0].Hazard.size(), 57u);
    EXPECT_EQ(cams[1].CamType, "NEXT");
    // The cut is noted once per reading of the file, so the user learns why a
    // camera is missing; an unchanged file says nothing again.
    load();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0].ends_with(": 1 over-long line cut short")) << notes[0];
}

// The lines within the radius, found by testing every line.
static std::vector<std::string_view> plainScan(const CameraFile& file, geo::LatLon fix, double radius)
{
    std::vector<std::string_view> within;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const double d = CameraDistance(CameraFile::linePosition(file.line(i)), fix);
        if (d != -1.0 && !(d > radius) && !std::isnan(d))
            within.push_back(file.line(i));
    }
    return within;
}

// Near the pole and the date line too, the grid finds what testing every line finds.
TEST(CameraFileIndex, GridSelectionMatchesAPlainScan)
{
    std::string text;
    std::mt19937 rnd(12345);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        double lat = i % 7 == 0 ? 89.0 + u(rnd) : 40 + u(rnd) * 30;
        text += fmt::sprintf("%f,%f,,,,T,,\n", lat, i % 11 == 0 ? 179.0 + u(rnd) : -10 + u(rnd) * 20);
    }
    CameraFile file(text);
    for (auto [lat, lon, radius] :
         {std::tuple{51.5, -0.1, 4000.0}, {89.5, 179.5, 64000.0}, {60.0, 5.0, 2e6}, {45.0, 9.99, 16000.0}}) {
        EXPECT_EQ(file.select(geo::LatLon(lat, lon), radius), plainScan(file, geo::LatLon(lat, lon), radius))
            << lat << "," << lon << " r=" << radius;
    }
}

// A multi-megabyte file whose lines end in CR alone, CR LF or a mix of line
// ends: each line keeps its first 298 bytes (a 299-byte fgets), the rest of a
// longer line is dropped and counted, a NUL ends the line's text.
TEST(CameraFileIndex, LinesOfAnyEndKeepTheirFirstPieceAndDropTheRest)
{
    std::string crOnly, crLf;
    for (int i = 0; crOnly.size() < 3'000'000; ++i) {
        std::string line =
            fmt::sprintf("%.6f,%.6f,Road,Town,,T,,", 51.0 + (i % 997) / 1000.0, -0.5 + (i % 991) / 1000.0);
        // Filler of numbers: the rest of a long line would read as a camera of its own.
        for (std::size_t fill = static_cast<std::size_t>(i * 37 % 400); fill > 0;
             fill -= std::min<std::size_t>(fill, 10))
            line +=
                std::string(i % 5 ? "5.25,-1.5," : "\0\0\0\0\0\0\0\0\0\0", std::min<std::size_t>(fill, 10));
        crOnly += line + "\r";
        crLf += line + "\r\n";
    }
    std::string mixed = crOnly.substr(0, 100000) + "\n51.2,-0.2,LF\n" + crLf.substr(100000, 100000);
    for (const std::string* text : {&crOnly, &crLf, &mixed}) {
        std::vector<std::string> expect;
        std::uint64_t overlong = 0;
        std::size_t pos = 0;
        while (pos < text->size()) {
            const std::size_t end = std::min(text->find_first_of("\r\n", pos), text->size());
            std::string_view line = std::string_view(*text).substr(pos, end - pos);
            if (line.size() > CameraFile::kLineLimit - 1) {
                line = line.substr(0, CameraFile::kLineLimit - 1);
                ++overlong;
            }
            line = line.substr(0, line.find('\0'));
            if (CameraFile::linePosition(line))
                expect.emplace_back(line);
            pos = end + ((*text)[end] == '\r' && end + 1 < text->size() && (*text)[end + 1] == '\n' ? 2 : 1);
        }
        CameraFile file(*text);
        ASSERT_GT(expect.size(), text->size() / 1000);
        ASSERT_GT(overlong, 0u);
        EXPECT_EQ(file.overlongLines(), overlong);
        ASSERT_EQ(file.size(), expect.size());
        for (std::size_t i = 0; i < expect.size(); ++i)
            ASSERT_EQ(file.line(i), expect[i]) << "entry " << i;
    }
}

// Fixes and radii far outside any map (and no numbers at all) select what testing
// every line selects, through the store's load too.
TEST_F(StoreFixture, ExtremeFixesAndRadiiSelectWhatAPlainScanSelects)
{
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    const std::string text = cameraLine(51.5, -0.12, "HERE") + cameraLine(-89.99, 179.99, "POLE") +
                             "1e300,5,,,,HUGE\n" + "-4.4e21,-1e300,,,,FAR\n";
    useCameras(text);
    CameraFile file(text);
    for (double lat : {51.5, 1e300, -1e300, 4.4e21, -4.4e21, 1e-300, inf, -inf, nan}) {
        for (double lon : {-0.12, 1e300, -1e300, -4.4e21, inf, nan}) {
            for (double radius : {4000.0, 1e7, 1e300, -1e300, inf, nan}) {
                const geo::LatLon fix(lat, lon);
                EXPECT_EQ(file.select(fix, radius), plainScan(file, fix, radius))
                    << lat << "," << lon << " r=" << radius;
                load(radius, lat);
            }
        }
    }
}

// A tie to the bit (the earliest camera wins), a limit, no-number positions and fixes, then
// random lists on a grid of spots (shared latitudes and spots) with fixes on and off it, with and
// without a filter.
TEST(NearestSearch, TiesLimitsNoNumbersAndRandomListsAgreeWithTheWalk)
{
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    const double o = 1.0 / 1024;
    expectSameAsWalk({{kFixLat + o, kFixLon}, {kFixLat - o, kFixLon}}, kFixLat, kFixLon);
    expectSameAsWalk({{kFixLat + 2, kFixLon}}, kFixLat, kFixLon, 100000.0);
    expectSameAsWalk({{nan, kFixLon},
                      {kFixLat + 0.01, nan},
                      {inf, kFixLon},
                      {kFixLat + 0.02, -inf},
                      {kFixLat + 0.03, kFixLon}},
                     kFixLat, kFixLon);
    expectSameAsWalk({{kFixLat + 0.01, kFixLon}}, kFixLat, nan);
    expectSameAsWalk({{kFixLat + 0.01, kFixLon}}, nan, kFixLon);
    std::mt19937 rnd(20240611);
    std::uniform_real_distribution<double> unit(-0.02, 0.02);
    std::uniform_int_distribution<int> grid(-8, 8);
    for (int trial = 0; trial < 3000 && !HasFailure(); ++trial) {
        std::vector<Cam> cams;
        for (int i = 0; i < trial % 70; ++i)
            cams.push_back({kFixLat + grid(rnd) / 512.0, kFixLon + (i % 2 ? grid(rnd) / 512.0 : unit(rnd))});
        const double fixLat = kFixLat + (trial % 5 ? unit(rnd) : grid(rnd) / 512.0);
        SCOPED_TRACE(trial);
        expectSameAsWalk(cams, fixLat, kFixLon + grid(rnd) / 512.0, trial % 7 == 0 ? 1500.0 : 20000000.0);
        // With a filter (the direction aid's cameras ahead): the nearest of those it takes.
        expectSameAsWalk(cams, fixLat, kFixLon, 20000000.0, [](std::size_t i) { return i % 3 == 1; });
    }
}

// Halves, near-halves and edges up to 2^53 are appended as printf writes them.
TEST(WholeNumberText, WritesWhatPrintfWrites)
{
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values{0.0,  0.5,   1.5,  2.5,  999.5, 1000.5,  0x1p52 - 0.5, 0x1p52, 0x1p52 + 1,
                               1e17, 1e300, -0.0, -0.4, -2.5,  -1234.5, inf,          nan};
    std::mt19937_64 rnd(7);
    for (int i = 0; i < 20000; ++i) {
        const double half = static_cast<double>(rnd() >> (11 + i % 52)) + 0.5;
        values.push_back(i % 2 ? half : std::nextafter(half, 0.0));
    }
    for (double v : values) {
        std::string s = "x";
        detail::appendWholeNumber(s, v);
        ASSERT_EQ(s, "x" + fmt::sprintf("%.0f", v)) << fmt::sprintf("%.17g", v);
    }
}

// The first fix loads the list before its search and says only "0.wav"; panel lines are cut.
TEST_F(WarnerFixture, FirstFixLoadsThenWarnsOnlyForTheBandItEndsIn)
{
    EXPECT_EQ(drive({50}), Files{"0.wav"});
    EXPECT_EQ(player.played[0], dir.file("root") + "/Voice/0.wav");
    EXPECT_EQ(warner->panel.camera, "50m GATSO");
    EXPECT_EQ(warner->panel.speedLimit + warner->panel.road, "30A1");
    reload("51.5,-0.12,A1,Town,A hazard that is long enough to be cut at fifty-seven chars,"
           "A camera type of 25 chars and more,P,30\n");
    at(1234.4);
    EXPECT_EQ(warner->panel.camera, "1234m A camera type of 25 chars");
    EXPECT_EQ(warner->panel.hazard.size(), 57u);
}

TEST_F(WarnerFixture, ANewNearestCameraKeepsTheStep)
{
    // A second camera 600 m beyond the first, on the same road.
    reload("51.5,-0.12,A1,,,FIRST,,\n51.505393258,-0.12,A1,,,SECOND,,\n");
    drive({150});
    ASSERT_EQ(warner->WarningStep, 100.0);
    // 400 m past the first, the second is nearest at 200 m: the step stays at 100...
    EXPECT_EQ(drive({-400, -460}), Files{});
    EXPECT_EQ(warner->panel.type, "SECOND");
    // ...until its distance falls below that step.
    EXPECT_EQ(drive({-520}), Files{"0.wav"});
}

// The 62nd fix reloads the list; with no camera left in range the step goes back to 2200.
TEST_F(WarnerFixture, ListIsReloadedEverySixtySecondFixAndNoCameraInRangeResetsTheStep)
{
    drive({50});
    useCameras("51.55,-0.12,,,,FAR,,\n"); // 5.5 km away
    for (int i = 0; i < 61; ++i)
        at(50);
    EXPECT_EQ(warner->panel.type, "GATSO");
    at(50);
    EXPECT_EQ(warner->panel.camera, "No cameras are in the map area");
    EXPECT_EQ(warner->WarningStep, 2200.0);
    reload(kGatso);
    EXPECT_EQ(drive({2100, 1900, 1450}), Files{"1500.wav"});
}

TEST_F(WarnerFixture, AReplayShowsAFailedLoadOnceWhereTheLiveDriveShowsEveryOne)
{
    settings.set(settings::keys::CameraFile, dir.file("missing.txt"));
    const std::string failure = "Error can't open the camera location file\n" + dir.file("missing.txt") +
                                "\nPlease check the setup/registry.";
    std::string log;
    for (int i = 0; i < 107; ++i)
        log += test::nmea(fmt::sprintf("GPGGA,1200%02d,5130.000,N,00007.200,W,1,08,1.0,5.0,M,,M,,", i % 60)) +
               "\r\n";
    test::writeBytes(dir.file("drive.nmea"), log);
    gps::SentenceMailbox mailbox;
    gps::LogReplay::Callbacks cb;
    cb.repaint = [&] { gps::intakeSentence(fix, *mailbox.take()); };
    cb.runCameraLogic = [&] { warner->UpdateCameraWarnings(fix.fix()); };
    cb.waitTick = [](std::chrono::milliseconds) {};
    cb.replayStarted = [&] { warner->replayStarted(); };
    cb.finished = [&] { warner->replayEnded(); };
    gps::LogReplay replay(mailbox, prompt, cb);
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(replay.start(dir.file("drive.nmea"), 1, {.showNotice = false, .reportEnd = false}));
        replay.join();
        EXPECT_EQ(prompt.texts(), Files(run, failure)) << "after replay " << run;
    }
    // Fixes from the receiver: each failure is shown (the GPS stops after it).
    at(3000);
    at(3000);
    EXPECT_EQ(prompt.texts().size(), 4u);
}

TEST_F(WarnerFixture, NothingHappensWhileBusyOrWithoutAPosition)
{
    drive({3000});
    auto before = warner->panel;
    double step = warner->WarningStep;
    warner->store.CameraListBusy = true;
    EXPECT_EQ(drive({50}), Files{});
    EXPECT_EQ(warner->store.CameraReloadCount, 0); // not even counted
    warner->store.CameraListBusy = false;
    fix.Latitude = 0.0;
    warner->UpdateCameraWarnings(fix.fix());
    EXPECT_EQ(warner->panel, before);
    EXPECT_EQ(warner->WarningStep, step);
}

TEST_F(WarnerFixture, VoiceCatalogueAndMute)
{
    Voice& v = warner->voice;
    v.PlayVoice("Specs.wav");
    v.PlayVoice("Bogus.wav");
    v.SayDistance(1200);
    v.SayDistance(100.9);
    v.SayDistance(2000);
    EXPECT_EQ(player.files(), (Files{"Specs.wav", "invalid.wav", "100.wav", "2000.wav"}));
    player.played.clear();
    v.toggleMute(); // muted: nothing between the mute and unmute sounds
    v.SayDistance(0);
    v.toggleMute();
    EXPECT_EQ(player.files().size(), 2u);
    // An unreadable folder plays nothing; a missing value says so.
    settings.erase(settings::keys::VoiceFolder);
    player.played.clear();
    v.PlayVoice("0.wav");
    EXPECT_TRUE(player.played.empty());
    EXPECT_EQ(prompt.texts(), Files{"Unable read the voice folder file name from the registry."});
}

TEST_F(WarnerFixture, MarkLocation)
{
    FixedClock clock({2006, 6, 5, 1, 7, 3, 9});
    settings.set(settings::keys::MarkFile, "C:\\VARNO\\Marks.txt");
    const std::string root = dir.file("root");
    std::filesystem::create_directories(root);
    EXPECT_FALSE(markLocation(settings, prompt, root, clock, geo::LatLon::ofFix(0.0, -0.12)));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(markLocation(settings, prompt, root, clock, geo::LatLon(51.5, -0.12)));
    EXPECT_TRUE(markLocation(settings, prompt, root, clock, geo::LatLon(51.25, 1.5)));
    EXPECT_EQ(test::readBytes(dir.file("root/Marks.txt")),
              "51.500000,-0.120000,Mon Jun  5 07:03:09 2006,,,,, \r\n"
              "51.250000,1.500000,Mon Jun  5 07:03:09 2006,,,,, \r\n");
    settings.set(settings::keys::MarkFile, dir.file("no/such/folder/m.txt"));
    EXPECT_FALSE(markLocation(settings, prompt, "", clock, geo::LatLon(51.5, -0.12)));
    settings.erase(settings::keys::MarkFile);
    EXPECT_FALSE(markLocation(settings, prompt, "", clock, geo::LatLon(51.5, -0.12)));
    EXPECT_EQ(prompt.texts(),
              (Files{"Error can't open the marked spot file\n" + dir.file("no/such/folder/m.txt") +
                         "\nPlease check the setup/registry.",
                     "Unable read the mark file name from the registry.",
                     "Error can't get the marked spot filename from the registry.\nPlease check the "
                     "setup/registry."}));
}

// The clock runs on across midnight UTC; the same second or a step back is no time passed.
TEST_F(SpecsFixture, ElapsedTimeRunsOnAcrossMidnightUtc)
{
    clock = 24 * 3600 - 4;
    at(-299);
    at(-10);   // 23:59:58: closing in restarts the clock here
    at(50, 0); // same second
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    EXPECT_EQ(specsPlayed(), 0);
    at(110, 4); // 00:00:02
    EXPECT_EQ(specs().line, "T 4, D 120, Av 67 mph");
    at(170, -6); // the receiver's time went back before the start
    EXPECT_EQ(specs().line, "Specs camera, calcs speed cam to cam");
    at(230, 7); // 00:00:03
    EXPECT_EQ(specs().line, "T 5, D 240, Av 107 mph");
    EXPECT_EQ(specsPlayed(), 1);
    warner->speedUnits = 2;
    at(290, 1);
    EXPECT_EQ(specs().line, "Average speed 97 knots");

    // A trip meter over a night: fixes every three hours from 20:00.
    reload(kGatso);
    clock = 20 * 3600;
    warner->speedUnits = 0;
    at(-3000, 0);
    warner->spaceKey(fix.fix());
    for (int i = 1; i <= 5; ++i)
        at(-3000 + 1609 * i, 3 * 3600);
    EXPECT_EQ(specs().line, "Trip T 54000, D 8045, Av 0 mph");
}

TEST_F(SpecsFixture, NextCameraTakesOverTinyMovesAreIgnoredAndNoCameraResets)
{
    for (double m : {-299.0, -10.0, 50.0, 1100.0})
        at(m, 10);
    // B (900 m ahead) is nearest now: the running measurement continues.
    EXPECT_NEAR(specs().totalDistance, 1110, 1e-3);
    at(1101.5, 10); // 1.5 m: nothing changes, the fix is not even kept
    EXPECT_NEAR(specs().totalDistance, 1110, 1e-3);
    at(1103, 10); // 3 m from the kept position
    EXPECT_NEAR(specs().totalDistance, 1113, 1e-3);
    // Within 200 m of B it becomes the zone camera and the count restarts.
    at(1850, 10);
    EXPECT_NEAR(specs().zone.latDeg(), northOf(kFixLat, 2000), 1e-9);
    EXPECT_EQ(specs().totalDistance, 0.0);
    // No camera within 10 km resets, as do cameras without a specs one unless started by hand.
    warner->forceReload();
    at(15000);
    EXPECT_FALSE(specs().inZone);
    EXPECT_EQ(specs().line, "");
    reload(kGatso);
    at(-3000);
    warner->spaceKey(fix.fix());
    ASSERT_TRUE(specs().inZone);
    specs().manual = false;
    at(-2990);
    EXPECT_FALSE(specs().inZone);
}

TEST_F(SpecsFixture, OptionsDialogStoresTheChoice)
{
    EXPECT_TRUE(specs().storeDialogChoice(false));
    specs().reset();
    at(-299);
    EXPECT_FALSE(specs().inZone); // off: not run at all
    settings.failWrites(true);
    EXPECT_FALSE(specs().storeDialogChoice(true));
    EXPECT_EQ(prompt.texts().size(), 1u);
}
