// varno-cli tracks as a program: the per-track summary of a map file, its
// failures, and the rendered picture.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "CliRun.h"

namespace varno::test {
namespace {

CliRun tracks(const std::string& args, const std::string& cwd = ".")
{
    return runCli("--settings /nonexistent/varno-test.reg tracks " + args, 0, cwd);
}

const std::string kLog = std::string(VARNO_TEST_DATA_DIR) + "/nmea/decode_small.nmea";

TEST(CliTracks, InfoListsEachTrackAndATotal)
{
    ScratchDir dir;
    writeBytes(dir.file("map.txt"),
               ";VARNO Track Editor\r\nMapDesc:Small\r\nzoom:10\r\nTrkDesc:Small drive\r\nTrkPath:" + kLog +
                   "\r\nTrkPath:missing.txt\r\nTrkPath:map.txt\r\n");
    const CliRun r = tracks("info map.txt", dir.path().string());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "1\tSmall drive\t" + kLog +
                  "\t2 points\tlat -40.000000..51.383943 lon -1.318565..3.000000\n"
                  "2\tNone\tmissing.txt\tnot loaded\n"
                  "3\tNone\tmap.txt\tnot loaded\n"
                  "total\t3 tracks\t1 loaded\t2 points\tlat -40.000000..51.383943 lon -1.318565..3.000000\n");
    // Why each was not loaded, naming the file.
    EXPECT_NE(r.err.find("Error can't open the NMEA log file.\nmissing.txt"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the track is the map file itself.\nmap.txt"), std::string::npos) << r.err;
}

TEST(CliTracks, BadMapFilesAndUsage)
{
    ScratchDir dir;
    writeBytes(dir.file("notmap.txt"), "$GPGGA,1,5000.0,N,01000.0,E\n");
    struct Case {
        std::string args;
        int code;
        std::string err; // a piece of stderr
    };
    const Case cases[] = {
        {"info " + dir.file("none.txt"), 2, "Error can't open the tracks map file.\n" + dir.file("none.txt")},
        {"info " + dir.path().string(), 2, "a folder"},
        {"info " + dir.file("notmap.txt"), 2, "Error expected ';VARNO Track Editor'"},
        {"info", 2, "usage: varno-cli tracks info MAPFILE"},
        {"list x", 2, "usage:"},
    };
    for (const Case& c : cases) {
        const CliRun r = tracks(c.args);
        EXPECT_EQ(r.code, c.code) << c.args;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

TEST(CliTracks, RenderWritesAPictureOfTheRequestedSize)
{
    ScratchDir dir;
    std::string log;
    for (int i = 0; i < 40; ++i)
        log += "$GPGGA,1,50" + std::to_string(10 + i) + ".0,N,010" + std::to_string(10 + i) + ".0,E,1\n";
    writeBytes(dir.file("drive.txt"), log);
    writeBytes(dir.file("map.txt"), ";VARNO Track Editor\r\nMapDesc:x\r\nzoom:10\r\nTrkPath:drive.txt\r\n");
    const CliRun r = tracks("render map.txt --png out.png --size 640x480", dir.path().string());
    if (r.code == 1 && r.err.find("was not found") != std::string::npos)
        GTEST_SKIP() << "built without the window";
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string png = readBytes(dir.file("out.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    // The width and height of the IHDR chunk, big-endian.
    const auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 640);
    EXPECT_EQ(be32(20), 480);
    // Zoomed in with labels; an unknown toggle or a zoom that is not a number is a usage error.
    EXPECT_EQ(tracks("render map.txt --png z.png --zoom 3 --centre 50.3,10.3 --show names,ref,icons",
                     dir.path().string())
                  .code,
              0);
    for (const char* bad : {"--zoom 3x", "--zoom many", "--show names,colours", "--show ''", "--centre 91,0"})
        EXPECT_EQ(tracks(std::string("render map.txt --png b.png ") + bad, dir.path().string()).code, 2)
            << bad;
    // A missing map file stops it with the message and no picture.
    const CliRun bad = tracks("render none.txt --png bad.png", dir.path().string());
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("none.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.png")));
}

} // namespace
} // namespace varno::test
