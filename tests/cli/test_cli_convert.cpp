// varno-cli convert and passed as programs: exit codes, messages naming files, standard input,
// and destinations left alone when a conversion fails or is refused.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CliRun.h"

namespace varno::test {
namespace {

CliRun cli(const std::string& args)
{
    return runCli("--settings /nonexistent/varno-test.reg " + args);
}

} // namespace

TEST(CliConvert, ExitCodesMessagesAndDestinations)
{
    ScratchDir dir;
    const std::string csv = dir.file("cams.csv"), out = dir.file("out.txt"), gpx = dir.file("out.gpx");
    writeBytes(csv, "-1,51,GATSO@30,x\n");
    writeBytes(dir.file("log.nmea"), "$GPRMC,120000,A,5130.0000,N,00015.0000,W,30.0,0,010524,,*00\r\n");
    writeBytes(gpx, "keep me");
    struct Case {
        std::string args;
        int code;
        std::string errHas;
    } cases[] = {
        {"convert", 2, "usage: varno-cli convert"},
        {"convert frobnicate a b", 2, "unknown kind 'frobnicate'"},
        {"convert ov2 onlyone", 2, "usage"},
        {"convert nmea-gpx --degrees x a b", 2, "usage"},
        {"convert pocketgps-csv " + dir.file("none.csv") + " " + out, 1,
         "Error can't open source file\n" + dir.file("none.csv")},
        {"convert pocketgps-csv " + csv + " " + dir.path().string(), 1,
         "Error can't open destination file\n" + dir.path().string()},
        {"convert pocketgps-csv " + csv + " " + csv, 1, "can not be the same"},
        {"convert nmea-gpx " + dir.file("log.nmea") + " " + gpx, 1, "all ready exists"},
        {"convert osm-gpx - " + out, 1, "standard input"},
        {"convert srtm-gpx " + csv + " " + out, 1, "is not an SRTM height file"},
        {"passed --cameras " + csv + " --nearest 500 --farthest 100 " + dir.file("log.nmea"), 2,
         "The nearest distance must be less than the farthest."},
        {"passed --cameras " + dir.file("none.txt") + " " + dir.file("log.nmea"), 1, dir.file("none.txt")},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_EQ(readBytes(gpx), "keep me");
    EXPECT_FALSE(std::filesystem::exists(out));

    // Standard input to standard output, and --yes to overwrite.
    CliRun r = cli("convert pocketgps-csv - - < '" + csv + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "51,-1,GATSO@30,x,,GATSO@30,Yes,30\r\n");
    EXPECT_EQ(r.err, "1 lines processed.\n\nConversion complete.\n");
    // Numbers on the command line read the same in every locale (this binary also runs under de_DE).
    r = cli("--yes convert nmea-gpx --metres 100.5 --degrees 22.5 " + dir.file("log.nmea") + " " + gpx);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(readBytes(gpx).find("<trkpt lat=\"51.500000000\" lon=\"-0.250000000\">"), std::string::npos);
}

TEST(CliConvert, AnExistingCameraOrRouteFileIsAskedForAndNeverEmptied)
{
    ScratchDir dir;
    const std::string junk = dir.file("junk"), kept = dir.file("EXISTING.txt");
    writeBytes(junk, "junk\n");
    writeBytes(dir.file("empty.gpx"), "<gpx version='1.1' xmlns='http://www.topografix.com/GPX/1/1'/>");
    writeBytes(kept, "51,-1,GATSO,,,GATSO,Yes,30\r\n");
    for (const std::string kind :
         {"pocketgps-csv", "garmin-csv", "ov2", "gpx-route-route", "gpx-track-route"}) {
        const std::string src = kind.starts_with("gpx") ? dir.file("empty.gpx") : junk;
        CliRun r = cli("convert " + kind + " " + src + " " + kept);
        EXPECT_EQ(r.code, 1) << kind;
        EXPECT_NE(r.err.find("The destination file already exists.\n\nDo you want to overwrite it ?"),
                  std::string::npos)
            << kind << "\n"
            << r.err;
        r = cli("--yes convert " + kind + " " + src + " " + kept);
        EXPECT_EQ(r.code, 1) << kind;
        // An OV2 source whose first record is already broken is no OV2 file at all.
        const std::string why = kind == "ov2" ? "Error: " + src + " is not an OV2 file."
                                              : "no record was read from the source file\n" + src;
        EXPECT_NE(r.err.find(why), std::string::npos) << kind << "\n" << r.err;
        EXPECT_EQ(readBytes(kept), "51,-1,GATSO,,,GATSO,Yes,30\r\n") << kind;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));
    EXPECT_EQ(cli("convert garmin-csv " + junk + " " + dir.file("new.txt")).code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));
}

TEST(CliConvert, ASignalTakesTheTemporaryAlongAndTheNextWriteSweepsDeadOnes)
{
    ScratchDir dir;
    // Left by a process that is gone (no process has this id), by one that
    // runs (init) and by something else.
    for (const char* name : {"a.gpx.varno-999999999-0badf00d.tmp", "b.gpx.varno-1-0badf00d.tmp", "c.tmp"})
        writeBytes(dir.file(name), "x");
    // The conversion waits on its standard input, its temporary open, when
    // the signal comes.
    ScratchDir side;
    const std::string cmd =
        "cd '" + dir.path().string() + "' && (sleep 5 | '" + VARNO_CLI_PATH +
        "' --settings /nonexistent/varno-test.reg convert add-newlines - out.gpx 2>/dev/null & "
        "p=$!; sleep 1; ls > '" +
        side.file("listing") + "'; kill -TERM $p; wait $p; echo $? > '" + side.file("status") + "')";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string during = readBytes(side.file("listing"));
    const std::string status = readBytes(side.file("status"));
    EXPECT_NE(during.find("out.gpx.varno-"), std::string::npos) << during;
    EXPECT_EQ(during.find("a.gpx.varno-"), std::string::npos) << during;
    EXPECT_EQ(status, "143\n"); // ended by the signal, as before
    std::vector<std::string> after;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        after.push_back(e.path().filename().string());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (std::vector<std::string>{"b.gpx.varno-1-0badf00d.tmp", "c.tmp"}));
}

} // namespace varno::test
