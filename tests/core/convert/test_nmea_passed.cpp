// NMEA log to GPX (point picking, both documents, xmllint and gpsbabel reading them back) and the
// passed-camera list of a logged drive.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "cameras/CameraFile.h"
#include "cameras/PassedCameras.h"
#include "convert/GpxWriter.h"
#include "convert/NmeaToGpx.h"
#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"
#include "core/gps/test_nmea_sentence.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

namespace {

// Degrees as ddmm.mmmm (width 2) or dddmm.mmmm (width 3), and the hemisphere letter.
std::string ddmm(double v, int width, char plus, char minus)
{
    const double a = std::fabs(v);
    return fmt::sprintf("%0*d%07.4f,%c", width, static_cast<int>(a), (a - static_cast<int>(a)) * 60.0,
                        v < 0 ? minus : plus);
}

std::string rmc(const char* time, double lat, double lon, const char* course, const char* date = "010524",
                double knots = 30.0, const char* status = "A")
{
    return nmea(fmt::format("GPRMC,{},{},{},{},{:.1f},{},{},,", time, status, ddmm(lat, 2, 'N', 'S'),
                            ddmm(lon, 3, 'E', 'W'), knots, course, date)) +
           "\r\n";
}

std::string gga(double lat, double lon, const char* alt = "12.5")
{
    return nmea(fmt::format("GPGGA,120000,{},{},1,08,1.0,{},M,47.0,M,,", ddmm(lat, 2, 'N', 'S'),
                            ddmm(lon, 3, 'E', 'W'), alt)) +
           "\r\n";
}

std::vector<NmeaPoint> pick(const std::string& log, NmeaPickOptions options)
{
    LineInput in{std::string_view(log)};
    Progress progress;
    std::vector<NmeaPoint> points;
    EXPECT_TRUE(pickNmeaPoints(in, options, points, progress).ok());
    return points;
}

// The same sentences from another talker ("GN": several satellite systems).
std::string talker(const std::string& id, std::string log)
{
    for (std::size_t at = log.find("$GP"); at != std::string::npos; at = log.find("$GP", at + 1))
        log.replace(at + 1, 2, id);
    return log;
}

} // namespace

TEST(NmeaToGpx, PicksPointsByDistanceAndTurn)
{
    NmeaPickOptions none, metres100{false, 0, true, 100}, turn15{true, 15, false, 0};
    // 0.0005 degrees of latitude is about 56 m.
    const std::string straight = rmc("120000", 51.0, -1.0, "0.0") + rmc("120001", 51.0005, -1.0, "0.0") +
                                 rmc("120002", 51.0010, -1.0, "0.0") + rmc("120003", 51.0015, -1.0, "0.0");
    const std::string turning = rmc("120000", 51.0, -1.0, "350.0") + rmc("120001", 51.0, -1.0, "10.0") +
                                rmc("120002", 51.0, -1.0, "15.0") + rmc("120003", 51.0, -1.0, "30.0");
    struct Case {
        const char* what;
        std::string log;
        NmeaPickOptions options;
        std::size_t count;
    } cases[] = {
        {"neither box: only the first point", straight, none, 1},
        {"every 100 m", straight, metres100, 2},
        {"350 to 10 is a turn of 20", turning, turn15, 3},
        {"status V gives no point", rmc("120000", 51, -1, "0", "010524", 3, "V"), metres100, 0},
        {"broken sentences and junk give none", "$GNRMC,1,A\r\nrubbish\r\n$GPRMC,,A,xx,N,yy,E\r\n", metres100,
         0},
        {"any talker's RMC is a point", talker("GN", straight), metres100, 2},
        {"a proprietary sentence is no talker's", talker("PG", straight), metres100, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pick(c.log, c.options).size(), c.count) << c.what;

    const auto points = pick(rmc("235959", -33.5, 151.25, "", "000000") + gga(-33.5, 151.25, "101.25") +
                                 rmc("000001", -33.5, 151.26, "45.5", "311299"),
                             metres100);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].latitude, "-33.500000000");
    EXPECT_EQ(points[0].longitude, "151.250000000");
    EXPECT_EQ(points[0].time, "2009-01-01T23:59:59Z");
    EXPECT_EQ(points[0].elevation, "0.0");
    EXPECT_EQ(points[0].course, "Unknown");
    EXPECT_EQ(points[1].time, "2099-12-31T00:00:01Z");
    EXPECT_EQ(points[1].elevation, "101.2");
    EXPECT_EQ(points[1].course, " 46");
    EXPECT_EQ(points[1].row, 2);
}

// Other tools reading what we write: the golden GPX files' test. An empty list is no document.
TEST(NmeaToGpx, NoPointsNoDocumentAndNamesAreEscaped)
{
    StringSink none;
    EXPECT_FALSE(writeGpxTrack({}, none));
    // Names are escaped and Latin-1 bytes become UTF-8.
    EXPECT_EQ(xmlEscaped("A&B <\"x'> M\xfcnchen \xc3\xa9\x01"),
              "A&amp;B &lt;&quot;x&apos;&gt; M\xc3\xbcnchen \xc3\xa9");
}

// An old Mac log (CR alone) gives the points its LF twin gives.
TEST(NmeaToGpx, CrOnlyLogPicksThePointsOfItsLfTwin)
{
    std::string log;
    for (int i = 0; i < 21; ++i)
        log += rmc("120000", 51.0 + i * 0.01, -1.0, "0.0") + gga(51.0 + i * 0.01, -1.0);
    std::string crOnly = log;
    std::string::size_type at = 0;
    while ((at = crOnly.find("\r\n", at)) != std::string::npos)
        crOnly.erase(at + 1, 1), ++at;
    const auto lfPoints = pick(log, {});
    ASSERT_FALSE(lfPoints.empty());
    EXPECT_EQ(pick(crOnly, {}).size(), lfPoints.size());
}
TEST(PassedCameras, ClosestApproachSpeedAndRows)
{
    using namespace varno::cameras;
    // Along the meridian at -1.0: 0.0009 degrees north is about 100 m.
    const std::string cameraText = "51.0000,-1.0020,Road,Town,,Gatso,Yes,30\n"   // ~140 m east of the track
                                   "51.0100,-1.0000,Road,Town,,Gatso,Yes,30\n"   // passed at 0 m: same row
                                   "51.0200,-0.9964,Road,Town,,Truvelo,Yes,40\n" // ~252 m east
                                   "52.0000,-1.0000,Road,Town,,Far,Yes,40\n";
    const CameraFile file(cameraText);
    std::string log;
    for (int i = 0; i <= 300; ++i) {
        const double lat = 50.99 + i * 0.0001;
        log += rmc("120000", lat, -1.0, "0", "010524", 40.0 + i % 2) + gga(lat, -1.0);
    }
    struct Case {
        const char* what;
        std::string log;
        PassedOptions options;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {"both names, speed only under 200 m",
         log,
         {0, 4000, 1},
         {{"List contains 2 items", "", "", ""},
          {"0.000 km", "Gatso", "1", "74 kph"},
          {"0.252 km", "Truvelo", "2", ""}}},
        {"farthest cuts the far ones",
         log,
         {0, 200, 2},
         {{"List contains 1 items", "", "", ""}, {"0.000 km", "Gatso", "1", "40 knots"}}},
        {"RMC lines alone move nothing",
         rmc("120000", 51.0, -1.0, "0"),
         {0, 4000, 1},
         {{"List contains 0 items", "", "", ""}}},
    };
    for (const Case& c : cases) {
        LineInput in{std::string_view(c.log)};
        Progress progress;
        PassedList list;
        ASSERT_TRUE(passedCameras(in, file, c.options, list, progress).ok()) << c.what;
        EXPECT_EQ(list.rows(), c.rows) << c.what;
    }
    LineInput in{std::string_view(log)};
    Progress progress;
    PassedList list;
    ASSERT_TRUE(passedCameras(in, file, {0, 4000, 0}, list, progress).ok());
    EXPECT_EQ(list.clipboardText(true), ":Gatso\t\t0.000 km\t\t46 mph\r\n:Truvelo\t\t0.252 km\r\n");
    EXPECT_EQ(list.clipboardText(false), ":Gatso\r\n:Truvelo\r\n");
    EXPECT_FALSE(passedCameras(in, file, {500, 100, 0}, list, progress).ok());
}

TEST(PassedCameras, TalkersChecksumsAndGgaWithoutPosition)
{
    using namespace varno::cameras;
    const CameraFile file("51.0000,-1.0000,Road,Town,,Gatso,Yes,30\n");
    const std::string noFix = nmea("GPGGA,120000,,,,,0,00,,,M,,M,,") + "\r\n";
    const std::string atCamera = gga(51.0, -1.0);
    const auto talker = [&](const char* to) {
        return nmea(to + atCamera.substr(3, atCamera.find('*') - 3)) + "\r\n";
    };
    std::string badChecksum = atCamera;
    badChecksum[badChecksum.find('*') + 1] ^= 1;
    const std::string invalid = nmea(fmt::format("GPGGA,120000,{},{},0,08,1.0,12.5,M,47.0,M,,",
                                                 ddmm(51.0, 2, 'N', 'S'), ddmm(-1.0, 3, 'E', 'W'))) +
                                "\r\n";
    std::string lostFix; // a store rebuild falls on the GGA without a position
    for (int i = 0; i <= 100; ++i)
        lostFix += gga(51.3, -1.0); // 33 km away: the store around it holds nothing
    lostFix += noFix + atCamera;
    const struct {
        const char* what;
        std::string log;
        std::size_t rows;
    } cases[] = {
        {"a start without a fix", noFix + atCamera, 1},
        {"the fix lost when a rebuild is due", lostFix, 1},
        {"multi-constellation GN", talker("GN"), 1},
        {"BeiDou BD", talker("BD"), 1},
        {"a talker the decoder does not read", talker("II"), 0},
        {"a bad checksum", badChecksum, 0},
        {"a position sent with fix quality 0", invalid, 0},
    };
    for (const auto& c : cases) {
        LineInput in{std::string_view(c.log)};
        Progress progress;
        PassedList list;
        ASSERT_TRUE(passedCameras(in, file, {0, 4000, 0}, list, progress).ok()) << c.what;
        EXPECT_EQ(list.shown().size(), c.rows) << c.what;
    }
}

TEST(PassedCameras, CameraFileFailuresUseTheStoreMessages)
{
    using namespace varno::cameras;
    std::string message;
    EXPECT_FALSE(passedCameraFile(std::nullopt, message));
    EXPECT_EQ(message,
              "Error can't get the camera filename from the registry.\nPlease check the setup/registry.");
    ScratchDir dir;
    EXPECT_FALSE(passedCameraFile(dir.file("none.txt"), message));
    EXPECT_EQ(message, "Error can't open the camera location file\n" + dir.file("none.txt") +
                           "\nPlease check the setup/registry.");
    writeBytes(dir.file("cams.txt"), "51.0,-1.0,Road,Town,,Gatso,Yes,30\r\n");
    const std::optional<CameraFile> file = passedCameraFile(dir.file("cams.txt"), message);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 1u);
}
