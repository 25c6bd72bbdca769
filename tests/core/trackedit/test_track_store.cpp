// The map file's line forms, its byte-exact writing, and reading the listed logs.
#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "trackedit/TrackStore.h"

namespace varno::trackedit {
namespace {

// What a map file read into the store: "description zoom [desc|path ...]" ("-" for a missing text),
// or the start of its message.
std::string readBack(const std::string& bytes, std::size_t messageChars)
{
    TrackStore s;
    if (const std::optional<MapFileError> e = parseMapFile(bytes, s))
        return e->message.substr(0, messageChars);
    std::string out = s.description.value_or("-") + " " + std::to_string(s.zoom);
    for (const TrackEntry& e : s.tracks)
        out += " " + e.description.value_or("-") + "|" + e.path.value_or("-");
    return out;
}

TEST(MapFile, ReadsTheLineFormsAndTheirOddCases)
{
    const std::string H = ";VARNO Track Editor\r\n", M = H + "MapDesc:d\r\nzoom:1\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {H + "MapDesc:Drives\r\nzoom:10\r\nTrkDesc:A\r\nTrkPath:/a.txt\r\nTrkPath:/b.txt\r\n",
         "Drives 10 A|/a.txt -|/b.txt"},
        {";VARNO Track Editor\nMapDesc:x\nzoom:7\nTrkPath:/a\n", "x 7 -|/a"}, // LF only
        {H + "MapDesc:\r\nzoom:3\r\n", "- 3"},
        {H + "MapDesc:d\r\nzoom:\r\n", "d 0"}, // zoom with its line end only reads 0
        {H + "MapDesc:d\r\nzoom:", "d 10"},    // at the very end keeps 10
        {H + "MapDesc:d\r\nzoom:abc\r\n", "d 0"},
        {H + "MapDesc:d\r\nzoom:-4\r\n", "d -4"},
        {M + "TrkPath:/a\r\n\r\nTrkPath:/b\r\n", "d 1 -|/a"}, // a blank line ends the list
        {M + "TrkDesc:A\r\nTrkDesc:B\r\nTrkPath:/p\r\n", "d 1 A|- B|/p"},
        {M + "# note\r\nTrkPath:/p\r\ntrkpath:/q\r\n", "d 1 -|/p"},  // other lines ignored
        {M + "TrkDesc:A\r\nTrkPath:\r\nTrkPath:/p\r\n", "d 1 A|/p"}, // an empty path fills later
        // A long line is read in pieces: the path is cut and the rest is ignored.
        {M + "TrkPath:" + std::string(400, 'p') + "\r\n", "d 1 -|" + std::string(298 - 8, 'p')},
        {"", "Error can't read from file"},
        {";VARNO Track Editor", "Error expected ';VARNO"},
        {";varno track editor\r\n", "Error expected ';VARNO"},
        {H, "Error can't read map description"},
        {H + "Desc:x\r\n", "Error expected 'MapDesc:'"},
        {H + "MapDesc:x\r\n", "Error can't read zoom"},
        {H + "MapDesc:x\r\nZoom:4\r\n", "Error expected 'zoom:'"},
    };
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(readBack(bytes, want.starts_with("Error") ? want.size() : std::string::npos), want)
            << bytes;
}

TEST(MapFile, TheExpectedMessagesOfferTheLineRead)
{
    TrackStore s;
    const auto e = parseMapFile(";VARNO Track Editor\r\nMapDesc:x\r\nZOOM:1\r\n", s);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message,
              "Error expected 'zoom:'\nas the start of the third line of the\ntrack map file.\n\nClick OK "
              "to see the line that was read.");
    EXPECT_TRUE(e->showLine);
    EXPECT_EQ(e->lineRead, "ZOOM:1");
}

TEST(MapFile, WritesByteExactAndReadsBack)
{
    struct Case {
        const char* name;
        TrackStore store;
        std::string bytes;
    };
    TrackStore full;
    full.description = "Drives";
    full.zoom = 12;
    full.tracks.resize(4);
    full.tracks[0].description = "Home";
    full.tracks[0].path = "/logs/home.txt";
    full.tracks[1].path = "/logs/nodesc.txt";
    full.tracks[2].description = "listed without path";   // not written
    full.tracks[3].description = "OSM:1:highway=primary"; // display data: no path, not written
    TrackStore zero;
    zero.zoom = 0;
    TrackStore longDesc;
    longDesc.description = std::string(300, 'd');
    const Case cases[] = {
        {"full", full,
         ";VARNO Track Editor\r\nMapDesc:Drives\r\nzoom:12\r\nTrkDesc:Home\r\nTrkPath:/logs/home.txt\r\n"
         "TrkPath:/logs/nodesc.txt\r\n"},
        {"no description, zoom 0", zero, ";VARNO Track Editor\r\nMapDesc:No description\r\nzoom:\r\n"},
        {"description cut", longDesc,
         ";VARNO Track Editor\r\nMapDesc:" + std::string(288, 'd') + "\r\nzoom:10\r\n"},
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatMapFile(c.store), c.bytes);
        const std::string path = dir.file("map.txt");
        ASSERT_FALSE(writeMapFile(path, c.store));
        EXPECT_EQ(test::readBytes(path), c.bytes);
        // What was written reads back to the same bytes.
        TrackStore back;
        ASSERT_FALSE(readMapFile(path, back));
        EXPECT_EQ(formatMapFile(back), c.bytes);
    }
}

TEST(MapFile, FailuresNameTheFile)
{
    test::ScratchDir dir;
    TrackStore s;
    auto e = readMapFile(dir.file("missing.txt"), s);
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->noMap);
    EXPECT_NE(e->message.find("missing.txt"), std::string::npos);
    e = readMapFile(dir.path().string(), s); // a folder
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->noMap);
    // A folder in the way of the written file.
    std::filesystem::create_directories(dir.file("blocked.txt") + "/x");
    const auto w = writeMapFile(dir.file("blocked.txt"), s);
    ASSERT_TRUE(w);
    EXPECT_NE(w->find("blocked.txt"), std::string::npos);
}

TEST(TrackLogs, ReadsTheGgaPositions)
{
    const std::string log = "$GPRMC,1,A,5123.0,N,00119.0,W\r\n"
                            "$GPGGA,235958.00,5123.0366,N,00119.1139,W,1,08\r\n"
                            "$gpgga,1,4530.0000,S,17030.0000,E,1\r\n" // lower case counts
                            "$GPGGA,1,,N,00119.1139,W,1\r\n"          // empty latitude: no point
                            "$GPGGA,1,5000.0,N,,E,1\r\n"              // empty longitude: no point
                            "$GNGGA,1,5000.0,N,00100.0,E,1\r\n"       // other talkers are not read
                            + std::string("$GPGGA,1,5010.0,N,00010.0,E,1\0\r\n", 32) // damaged: no point
                            + "$GPGGA,1,5030.0,N,00030.0,E,1*7F\r\n";
    const std::vector<TrackPoint> pts = parseLogPoints(log);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_NEAR(pts[0].latDeg, 51 + 23.0366 / 60, 1e-12);
    EXPECT_NEAR(pts[0].lonDeg, -(1 + 19.1139 / 60), 1e-12);
    EXPECT_NEAR(pts[1].latDeg, -45.5, 1e-12);
    EXPECT_NEAR(pts[1].lonDeg, 170.5, 1e-12);
    EXPECT_NEAR(pts[2].lonDeg, 0.5, 1e-12);

    test::ScratchDir dir;
    test::writeBytes(dir.file("log.txt"), log);
    std::vector<TrackPoint> read;
    std::vector<std::uint32_t> gga;
    std::string why;
    ASSERT_TRUE(readLogPoints(dir.file("log.txt"), read, why, &gga));
    EXPECT_EQ(read, pts);
    // The empty and damaged sentences count as $GPGGA lines all the same, as
    // Save counts them when it cuts the marked stretch.
    EXPECT_EQ(gga, (std::vector<std::uint32_t>{0, 1, 5}));
}

// An old Mac log or map file (CR alone) reads as its LF twin does.
TEST(TrackLogs, CrOnlyLogsAndMapFilesReadAsTheirTwins)
{
    std::string log;
    for (int i = 0; i < 21; ++i)
        log += "$GPGGA,1," + std::to_string(5000 + i) + ".0,N,00010.0,E,1\r";
    EXPECT_EQ(parseLogPoints(log).size(), 21u);
    test::ScratchDir dir;
    test::writeBytes(dir.file("log.txt"), log);
    std::vector<TrackPoint> read;
    std::string why;
    ASSERT_TRUE(readLogPoints(dir.file("log.txt"), read, why));
    EXPECT_EQ(read.size(), 21u);

    TrackStore crlf, cr;
    const std::string map = formatMapFile([] {
        TrackStore s;
        s.description = "Trips";
        s.tracks.emplace_back().path = "a.txt";
        s.tracks.emplace_back().path = "b.txt";
        return s;
    }());
    std::string crMap = map;
    std::erase(crMap, '\n');
    EXPECT_FALSE(parseMapFile(map, crlf));
    EXPECT_FALSE(parseMapFile(crMap, cr));
    EXPECT_EQ(cr.tracks.size(), 2u);
    EXPECT_EQ(cr.description, crlf.description);
}
TEST(TrackLogs, BadLogsGiveAMessageNamingThemAndStayListed)
{
    test::ScratchDir dir;
    test::writeBytes(dir.file("good.txt"), "$GPGGA,1,5000.0,N,00100.0,E,1\n");
    test::writeBytes(dir.file("binary.bin"), std::string("\x7f"
                                                         "ELF\0\0\x01\x02\n\0\0",
                                                         11));
    std::filesystem::create_directories(dir.file("folder"));
    TrackStore s;
    s.mapFile = dir.file("map.txt");
    test::writeBytes(*s.mapFile, ";VARNO Track Editor\r\n");
    for (const char* p : {"good.txt", "missing.txt", "binary.bin", "folder", "map.txt"}) {
        TrackEntry& e = s.tracks.emplace_back();
        e.path = dir.file(p);
    }
    // Through another spelling of the same path, the map file is still itself.
    s.tracks.back().path = dir.path().string() + "/./map.txt";
    const std::vector<std::string> problems = loadAllTracks(s);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("missing.txt"), std::string::npos);
    EXPECT_NE(problems[1].find("binary"), std::string::npos);
    EXPECT_NE(problems[2].find("folder"), std::string::npos);
    EXPECT_NE(problems[3].find("map file itself"), std::string::npos);
    EXPECT_TRUE(s.tracks[0].loaded);
    EXPECT_EQ(s.tracks[0].points.size(), 1u);
    for (std::size_t i = 1; i < s.tracks.size(); ++i)
        EXPECT_FALSE(s.tracks[i].loaded);
    // Loading again reads only what is not loaded yet.
    EXPECT_EQ(loadAllTracks(s).size(), 4u);
    EXPECT_EQ(s.tracks[0].points.size(), 1u);
}

TEST(TrackLogs, AHugeLineIsReadInPiecesWithoutLosingTheNextSentence)
{
    const std::string log = "$GPGGA," + std::string(1 << 20, '9') + "\n$GPGGA,1,5000.0,N,00100.0,E,1\n";
    const auto pts = parseLogPoints(log);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_DOUBLE_EQ(pts[0].latDeg, 50.0);
}

} // namespace
} // namespace varno::trackedit
