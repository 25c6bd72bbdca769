// varno-cli replay: its failures (the golden drives are cases of tests/golden).
#include <gtest/gtest.h>

#include <string>

#include "CliRun.h"

namespace varno::test {
namespace {

const std::string kDrives = std::string(VARNO_TEST_DATA_DIR) + "/drives/";

TEST(CliReplay, Failures)
{
    const CliRun missing = runCli("replay /nonexistent/drive.nmea");
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE((missing.out + missing.err).find("Error can't open the log file\n/nonexistent/drive.nmea"),
              std::string::npos);

    // Without settings or --cameras the camera file cannot be named: the
    // loader says so once for the replay, and the drive still replays.
    const CliRun noSettings =
        runCli("--settings /nonexistent/varno.reg replay " + shellQuoted(kDrives + "approach.nmea"));
    EXPECT_EQ(noSettings.code, 0);
    const std::string said = "Error can't get the camera filename from the registry.";
    const std::size_t first = noSettings.err.find(said);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(noSettings.err.find(said, first + 1), std::string::npos) << noSettings.err;

    EXPECT_EQ(runCli("replay").code, 2);
    EXPECT_EQ(runCli("replay --bogus x").code, 2);
}

} // namespace
} // namespace varno::test
