// GPX into route lines and track projects (with every corpus GPX), and the line breaker.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/GpxText.h"
#include "core/convert/ConvertTestTools.h"
#include "core/base/ScratchFiles.h"
#include "core/gps/test_nmea_sentence.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

namespace {

const std::string kGpx =
    "<?xml version=\"1.0\"?><gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
    "<wpt lat=\"51.5\" lon=\"-0.25\"><name>Home, sweet</name></wpt>"
    "<rte><rtept lat=\"51.6\" lon=\"-0.3\"/></rte>"
    "<trk><trkseg><trkpt lat=\"-0.5\" lon=\"1.05\"/><trkpt lat=\"10\" lon=\"20\"/></trkseg>"
    "<trkseg><trkpt lat=\"11\" lon=\"21\"/></trkseg></trk></gpx>";

} // namespace

TEST(GpxText, RouteLinesFromTracksAndRoutes)
{
    ScratchDir dir;
    const std::string src = dir.file("in.gpx"), dst = dir.file("route.csv");
    writeBytes(src, kGpx);
    writeBytes(dst, "old\n");
    Progress progress;
    Report r = gpxToRouteFile({src, dst, true}, false, progress);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(readBytes(dst), "old\n1.05,-0.5,P001,Trk001\r\n20,10,P002,Trk002\r\n21,11,P003,Trk003\r\n");
    r = gpxToRouteFile({src, dst, false}, true, progress);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(readBytes(dst), "-0.25,51.5,Home  sweet,\r\n-0.3,51.6,\r\n");

    // Not XML, a point without a position, a folder: named, and the old file stays.
    for (const std::string& bad : {std::string("not xml"), std::string("<gpx><wpt lat=\"1\"/></gpx>"),
                                   kGpx.substr(0, kGpx.size() - 20)}) {
        writeBytes(src, bad);
        r = gpxToRouteFile({src, dst, false}, true, progress);
        EXPECT_EQ(r.status, Report::Status::Failed) << bad;
        EXPECT_NE(r.message.find(src), std::string::npos) << r.message;
    }
    EXPECT_NE(gpxToRouteFile({dir.path().string(), dst, false}, true, progress).message.find(": a folder"),
              std::string::npos);
    EXPECT_EQ(readBytes(dst), "-0.25,51.5,Home  sweet,\r\n-0.3,51.6,\r\n");
}

TEST(GpxText, ProjectOfSegmentsWithSentences)
{
    // Degrees below one, both hemispheres, checksums as a receiver writes them.
    EXPECT_EQ(josmSentences(1000, -0.5, 1.05),
              nmea("GPGGA,000001.000,0030.0000,S,00103.0000,E,1,07,1.25,00121,M,047,M,,") + "\n" +
                  nmea("GPRMC,000001.000,A,0030.0000,S,00103.0000,E,50.00,0.000,0.00,E,") + "\n");
    EXPECT_EQ(josmSentences(3723004, -33.5, -151.25).substr(0, 47),
              "$GPGGA,010203.004,3330.0000,S,15115.0000,W,1,07");

    ScratchDir dir;
    writeBytes(dir.file("in.gpx"), kGpx);
    Progress progress;
    const Report r = josmToProject(dir.file("in.gpx"), dir.file("proj.TXT"), progress);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(readBytes(dir.file("proj.txt")),
              ";VARNO Track Editor\r\nMapDesc:JOSM Convert: " + dir.file("in.gpx") +
                  "\r\nzoom:1\r\nTrkDesc:Track000001\r\nTrkPath:" + dir.file("proj-Track000001.txt") +
                  "\r\nTrkDesc:Track000002\r\nTrkPath:" + dir.file("proj-Track000002.txt") + "\r\n");
    // The clock runs on across tracks.
    const std::string second = readBytes(dir.file("proj-Track000002.txt"));
    EXPECT_EQ(second.substr(0, 17), "$GPGGA,000003.000");
    EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 2);
    EXPECT_EQ(second.find("\r\n") + 2, second.find("$GPRMC"));
    EXPECT_EQ(r.message, "Input 1 lines processed.\nOutput 3 lines processed.\n\nConversion complete.");

    // A later file that cannot be written (a folder in its place) leaves
    // every file of the old project as it was, none half new.
    const std::string oldMap = readBytes(dir.file("proj.txt"));
    writeBytes(dir.file("proj-Track000001.txt"), "first\r\n");
    std::filesystem::remove(dir.file("proj-Track000002.txt"));
    std::filesystem::create_directory(dir.file("proj-Track000002.txt"));
    const Report trackFailed = josmToProject(dir.file("in.gpx"), dir.file("proj"), progress);
    EXPECT_FALSE(trackFailed.ok());
    EXPECT_TRUE(trackFailed.message.starts_with("Error can't open destination file\n"))
        << trackFailed.message;
    EXPECT_EQ(readBytes(dir.file("proj-Track000001.txt")), "first\r\n");
    EXPECT_EQ(readBytes(dir.file("proj.txt")), oldMap);
    std::filesystem::remove(dir.file("proj-Track000002.txt"));
    // The map file has its own message.
    std::filesystem::create_directory(dir.file("folder.txt"));
    EXPECT_TRUE(josmToProject(dir.file("in.gpx"), dir.file("folder"), progress)
                    .message.starts_with("Error can't open the tracks map file.\n"));

    // A bad source writes nothing at all.
    writeBytes(dir.file("bad.gpx"), "<gpx><trk><trkseg><trkpt lat='1' lon='2'/>");
    EXPECT_FALSE(josmToProject(dir.file("bad.gpx"), dir.file("other"), progress).ok());
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("other-Track000001.txt")));
}

TEST(GpxText, EveryCorpusGpxConverts)
{
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(VARNO_CORPUS_DIR) + "/gpx")) {
        if (entry.path().extension() != ".gpx")
            continue;
        ++files;
        for (const bool routes : {false, true}) {
            StringSink out;
            Progress progress;
            const Report r = routes ? gpxRouteToRoute(entry.path().string(), out, progress)
                                    : gpxTrackToRoute(entry.path().string(), out, progress);
            EXPECT_TRUE(r.ok()) << entry.path() << ": " << r.message;
        }
    }
    EXPECT_GT(files, 10);
}

TEST(GpxText, NewLinesAfterTokens)
{
    struct Case {
        std::string in, out;
    } cases[] = {
        {"<trk><name>A</name><trkseg><trkpt lat=\"1\" lon=\"2\"></trkpt></trkseg></trk>",
         "<trk>\n<name>A</name>\n<trkseg>\n<trkpt lat=\"1\" lon=\"2\"></trkpt>\n</trkseg>\n</trk>\n"},
        {"<wpt lat=\"1\" lon=\"2\"/><x/></wpt>", "<wpt lat=\"1\" lon=\"2\"/>\n<x/>\n</wpt>\n"},
        {"no tokens here", "no tokens here"},
        {"ends inside a token </trk", "ends inside a token </trk"},
    };
    for (const Case& c : cases) {
        LineInput in{std::string_view(c.in)};
        StringSink out;
        Progress progress;
        ASSERT_TRUE(addNewLines(in, out, progress).ok());
        EXPECT_EQ(out.text, c.out) << c.in;
    }
    ScratchDir dir;
    writeBytes(dir.file("a.gpx"), "<trk>");
    Progress progress;
    EXPECT_EQ(addNewLinesFile({dir.file("a.gpx"), dir.file("A.GPX")}, progress).message,
              "The source and destination file names can not be the same.");
}

// Every GPX the golden cases hold was written by us (NMEA, OSM, JOSM and line-broken GPX): other
// tools must read each one.
TEST(GpxOutput, EveryGoldenGpxIsWellFormedAndReadByGpsbabel)
{
    const bool xmllint = haveTool("xmllint"), gpsbabel = haveTool("gpsbabel");
    if (!xmllint && !gpsbabel)
        GTEST_SKIP() << "neither xmllint nor gpsbabel is installed";
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(VARNO_TEST_DATA_DIR) + "/golden")) {
        if (entry.path().extension() != ".gpx")
            continue;
        ++files;
        const std::string path = "'" + entry.path().string() + "'";
        int status = -1;
        if (xmllint) {
            commandOutput("xmllint --noout " + path + " 2>&1", &status);
            EXPECT_EQ(status, 0) << path;
        }
        if (gpsbabel) {
            commandOutput("gpsbabel -i gpx -f " + path + " -o unicsv -F /dev/null 2>&1", &status);
            EXPECT_EQ(status, 0) << path;
        }
    }
    EXPECT_GE(files, 8);
}
