// varno-cli replay: golden event lists of whole drives, and its failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRun.h"

namespace varno::test {
namespace {

const std::string kDrives = std::string(VARNO_TEST_DATA_DIR) + "/drives/";

// Settings: voice folder, 4 km map, average speed on in kph, time zone +1.
std::string replay(const std::string& cameras, const std::string& log)
{
    return "--settings " + shellQuoted(kDrives + "settings.reg") + " replay --cameras " +
           shellQuoted(std::string(VARNO_TEST_DATA_DIR) + "/cameras/" + cameras) + " " + shellQuoted(log);
}

TEST(CliReplay, GoldenDrives)
{
    // approach: bands from 1500 m down to "0.wav", one per fix, strict at
    // 1000 m, silent while receding and "300.wav" again on turning back; the
    // replay's first reload comes at the third sentence; the quoted hazard's
    // comma shows the exact-comma field rule; an empty line, a two-character
    // line and a line with a bad checksum pass without harm.
    // specs: a measurement from camera A to camera B, "Specs.wav" once after
    // passing A, B taking over within 200 m, and the average running on
    // across midnight UTC.
    for (const std::string drive : {"approach", "specs"}) {
        const CliRun r = runCli(replay(drive + ".txt", kDrives + drive + ".nmea"));
        EXPECT_EQ(r.code, 0) << drive;
        EXPECT_EQ(r.out, readBytes(kDrives + drive + ".expected")) << drive;
    }
}

TEST(CliReplay, GoldenRealReceiverLog)
{
    // A real drive of 500 fixes around midnight UTC, with a fixed camera and a
    // pair of specs cameras placed along its track; the receiver's jitter
    // keeps restarting the specs clock near the first camera, and the average
    // runs on across midnight.
    const std::string log = std::string(VARNO_CORPUS_DIR) + "/nmea/gpsbabel/backfilldate.nmea";
    if (!std::filesystem::exists(log))
        GTEST_SKIP() << log << " is not here";
    const CliRun r = runCli(replay("backfilldate.txt", log));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, readBytes(kDrives + "backfilldate.expected"));
}

TEST(CliReplay, Failures)
{
    const CliRun missing = runCli("replay /nonexistent/drive.nmea");
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE((missing.out + missing.err).find("Error can't open the log file\n/nonexistent/drive.nmea"),
              std::string::npos);

    // Without settings or --cameras the camera file cannot be named: the
    // loader says so on every attempt and the drive still replays.
    const CliRun noSettings =
        runCli("--settings /nonexistent/varno.reg replay " + shellQuoted(kDrives + "approach.nmea"));
    EXPECT_EQ(noSettings.code, 0);
    EXPECT_NE(noSettings.err.find("Error can't get the camera filename from the registry."),
              std::string::npos);

    EXPECT_EQ(runCli("replay").code, 2);
    EXPECT_EQ(runCli("replay --bogus x").code, 2);
}

} // namespace
} // namespace varno::test
