// varno-cli replay: golden event lists of whole drives, and its failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const fs::path kData = VARNO_TEST_DATA_DIR;

struct CliRun {
    int exitCode = -1;
    std::string out;
};

// Runs the command with stderr merged into stdout when mergeErr is set.
CliRun run(const std::string& args, bool mergeErr = false)
{
    std::string command =
        std::string("'") + VARNO_CLI_PATH + "' " + args + (mergeErr ? " 2>&1" : " 2>/dev/null");
    CliRun r;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string q(const fs::path& p)
{
    return "'" + p.string() + "'";
}

// Settings: voice folder, 4 km map, average speed on in kph, time zone +1.
std::string replay(const std::string& cameras, const fs::path& log)
{
    return "--settings " + q(kData / "drives" / "settings.reg") + " replay --cameras " +
           q(kData / "cameras" / cameras) + " " + q(log);
}

} // namespace

TEST(CliReplay, GoldenDrives)
{
    // approach: bands from 1500 m down to "0.wav", one per fix, strict at
    // 1000 m, silent while receding and "300.wav" again on turning back; the
    // replay's first reload comes at the third sentence; the quoted hazard's
    // comma shows the exact-comma field rule; an empty line, a two-character
    // line and a line with a bad checksum pass without harm.
    // specs: a measurement from camera A to camera B, "Specs.wav" once after
    // passing A, B taking over within 200 m, and midnight UTC showing the
    // start line instead of a negative average.
    for (const char* drive : {"approach", "specs"}) {
        CliRun r = run(replay(std::string(drive) + ".txt", kData / "drives" / (std::string(drive) + ".nmea")));
        EXPECT_EQ(r.exitCode, 0) << drive;
        EXPECT_EQ(r.out, readAll(kData / "drives" / (std::string(drive) + ".expected"))) << drive;
    }
}

TEST(CliReplay, GoldenRealReceiverLog)
{
    // A real drive of 500 fixes around midnight UTC, with a fixed camera and a
    // pair of specs cameras placed along its track; the receiver's jitter
    // keeps restarting the specs clock near the first camera.
    fs::path log = fs::path(VARNO_CORPUS_DIR) / "nmea" / "gpsbabel" / "backfilldate.nmea";
    if (!fs::exists(log))
        GTEST_SKIP() << log << " is not here";
    CliRun r = run(replay("backfilldate.txt", log));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, readAll(kData / "drives" / "backfilldate.expected"));
}

TEST(CliReplay, Failures)
{
    CliRun missing = run("replay /nonexistent/drive.nmea", true);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.out.find("Error can't open the log file\n/nonexistent/drive.nmea"), std::string::npos);

    // Without settings or --cameras the camera file cannot be named: the
    // loader says so on every attempt and the drive still replays.
    CliRun noSettings =
        run("--settings /nonexistent/varno.reg replay " + q(kData / "drives" / "approach.nmea"), true);
    EXPECT_EQ(noSettings.exitCode, 0);
    EXPECT_NE(noSettings.out.find("Error can't get the camera filename from the registry."),
              std::string::npos);
    EXPECT_EQ(noSettings.out.find("voice\t"), std::string::npos);

    EXPECT_EQ(run("replay").exitCode, 2);
    EXPECT_EQ(run("replay --bogus x").exitCode, 2);
}
