// varno-cli on hostile input: every refusal exits non-zero naming the file,
// option values no int holds are usage errors, and file bytes never reach the
// terminal as control codes.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "CliRun.h"

namespace varno::test {

TEST(CliHostile, FailuresExitNonZeroNamingTheFile)
{
    ScratchDir dir;
    const std::string plain = dir.file("plain"), bin = dir.file("bin.gpx"), text = dir.file("text.gpx"),
                      out = dir.file("out");
    writeBytes(plain, "a file, not a folder");
    writeBytes(bin, std::string("<gpx>\0\x01\x02</gpx>", 15));
    writeBytes(text, "just words, no markup\n");
    writeBytes(dir.file("utf16le.nmea"), std::string("$\0G\0P\0G\0G\0A\0,\0\n\0", 16));
    writeBytes(dir.file("utf16be.nmea"), std::string("\xFE\xFF\0$\0G\0P", 8)); // with a byte order mark
    const std::string tile = dir.file("N00E000.hgt");
    writeBytes(tile, std::string(1201 * 1201 * 2, '\x7f')); // every sample 32639 m
    struct Case {
        std::string args;
        int code;
        std::string errHas;
    } cases[] = {
        {"--settings " + plain + "/x.reg settings set Port Com2", 1, "cannot write " + plain + "/x.reg"},
        {"--settings " + plain + "/x.reg settings set MapScale 100", 1, "cannot write " + plain + "/x.reg"},
        {"--settings " + plain + "/x.reg settings check-registry", 1, "cannot write " + plain + "/x.reg"},
        {"convert ov2 " + text + " " + out, 1, "Error: " + text + " is not an OV2 file."},
        {"convert add-newlines " + bin + " " + out, 1, bin + " is not a GPX file (binary data)"},
        {"convert add-newlines " + text + " " + out, 1, text + " is not a GPX file (no <gpx> element)"},
        {"convert srtm-gpx --step nan " + tile + " " + out, 2, "--step takes 1 to 10000 metres"},
        {"convert srtm-gpx --step 1e308 " + tile + " " + out, 2, "--step takes 1 to 10000 metres"},
        {"convert srtm-gpx --range -1 " + tile + " " + out, 2, "--step takes 1 to 10000 metres"},
        {"decode " + dir.file("utf16le.nmea"), 2, dir.file("utf16le.nmea") + ": UTF-16 text, not ASCII"},
        {"decode " + dir.file("utf16be.nmea"), 2, dir.file("utf16be.nmea") + ": UTF-16 text, not ASCII"},
        {"passed --cameras " + dir.file("none.txt") + " " + text, 1,
         "Error can't open the camera location file\n" + dir.file("none.txt") +
             "\nPlease check the setup/registry."},
        {"passed --cameras " + text + " " + dir.file("utf16le.nmea"), 1,
         dir.file("utf16le.nmea") + ": UTF-16 text"},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(
            c.args.starts_with("--settings") ? c.args : "--settings /nonexistent/varno-test.reg " + c.args);
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    // A camera or route file given to a replay that cannot be read fails the
    // run instead of replaying without it (the route's own message goes to
    // standard output as a load line).
    const std::string log = dir.file("drive.nmea");
    writeBytes(log, "$GPGGA,081500.00,5121.6000,N,00122.8000,W,1,08,0.9,95.0,M,47.0,M,,*44\r\n");
    for (const std::string& args : {"replay --cameras " + dir.file("none.txt") + " " + log,
                                    "replay --cameras " + dir.path().string() + " " + log,
                                    "replay --route " + dir.file("none.csv") + " " + log,
                                    "route --route " + dir.file("none.csv") + " " + log}) {
        const CliRun run = runCli("--settings /nonexistent/varno-test.reg " + args);
        EXPECT_EQ(run.code, 1) << args << "\n" << run.err;
        EXPECT_TRUE(run.err.find("Error can't open the") != std::string::npos ||
                    run.out.find("Error can't open the") != std::string::npos)
            << args << "\n"
            << run.out << run.err;
    }

    // A tile with no contour to draw still says how many it wrote.
    const CliRun r = runCli("--settings /nonexistent/varno-test.reg convert srtm-gpx " + tile + " " + out);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Wrote 0 track segments."), std::string::npos) << r.err;
}

TEST(CliHostile, TracksInfoPrintsControlBytesEscaped)
{
    ScratchDir dir;
    writeBytes(dir.file("map.txt"),
               ";VARNO Track Editor\r\nMapDesc:x\r\nzoom:10\r\nTrkDesc:red\x1b]0;pwned\x07"
               "\xc2\x9b"
               "2J caf\xc3\xa9\tend\r\nTrkPath:missing.txt\r\n");
    const CliRun r =
        runCli("--settings /nonexistent/varno-test.reg tracks info map.txt", 0, dir.path().string());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("red\\x1B]0;pwned\\x07\\xC2\\x9B2J caf\xc3\xa9\tend\tmissing.txt"),
              std::string::npos)
        << r.out;
}

// A route file's title reaches the terminal escaped too.
TEST(CliHostile, RouteTitlesPrintEscaped)
{
    ScratchDir dir;
    writeBytes(dir.file("r.csv"), ";Home\x1b]0;pwned\x07\r\n-1.38,51.36,A,B\r\n");
    writeBytes(dir.file("d.nmea"),
               "$GPGGA,081500.00,5121.6000,N,00122.8000,W,1,08,0.9,95.0,M,47.0,M,,*44\r\n");
    const CliRun r =
        runCli("--settings /nonexistent/varno-test.reg route --route r.csv d.nmea", 0, dir.path().string());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("load\ttitle\tRoute Home\\x1B]0;pwned\\x07"), std::string::npos) << r.out;
}

} // namespace varno::test
