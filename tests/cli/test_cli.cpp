// varno-cli run as a program: decode, replay's failures (its drives are golden cases), settings on a
// scratch file, and live against a pseudo-terminal playing the receiver.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

#include <gtest/gtest.h>

#include "CliRun.h"
#include "core/base/ScratchFiles.h"
#include "core/gps/test_nmea_sentence.h"
#include "platform/TcpServer.h"

namespace varno::test {
namespace {

const auto shellQuoted = [](const std::string& path) { return "'" + path + "'"; };

const std::string kLog = std::string(VARNO_TEST_DATA_DIR) + "/nmea/decode_small.nmea";
const std::string kDecode = "--settings /nonexistent/varno-test.reg decode ";

TEST(CliDecode, GoldenOutputFromFileAndStdinWithCrLineEndsAndLongLines)
{
    const std::string expected = readBytes(std::string(VARNO_TEST_DATA_DIR) + "/nmea/decode_small.expected");
    ASSERT_FALSE(expected.empty());
    ScratchDir dir;
    writeBytes(dir.file("cr.nmea"), std::regex_replace(readBytes(kLog), std::regex("\r\n"), "\r"));
    for (const std::string& args :
         {shellQuoted(kLog), "- < " + shellQuoted(kLog), shellQuoted(dir.file("cr.nmea"))}) {
        const CliRun r = runCli(kDecode + args);
        EXPECT_EQ(std::tie(r.code, r.out), std::tuple(0, expected)) << args;
    }
    // The last line needs no line end. 100 characters of junk empty the reader's line; the sentence glued
    // behind them arrives as its own fragment, as on the serial port. A NUL (a serial BREAK) inside a
    // sentence whose checksum matches makes it bad and leaves the fix where it was.
    using namespace std::string_literals;
    writeBytes(dir.file("tail.nmea"), std::string(100, 'x') +
                                          "$GPGGA,010203,5130.0,N,00030.0,W,1,08,1.0,5.0,M,,M,,*46\r\n" +
                                          nmea("GPGGA,010204,51\0 30.0,N,00030.0,W,1,08,1.0,5.0,M,,M,,"s) +
                                          "\r\n$GPRMC,010203,A,5130.0,N,00030.0,W,12.0,90.0,010124,,,A*6A");
    const CliRun r = runCli(kDecode + shellQuoted(dir.file("tail.nmea")));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "1\tGPGGA\tok\t51.500000\t-0.500000\t01:02:03\t0.000\t0.0\t5.0\n"
                     "2\tGPGGA\tbad\t51.500000\t-0.500000\t01:02:03\t0.000\t0.0\t5.0\n"
                     "3\tGPRMC\tok\t51.500000\t-0.500000\t01:02:03\t12.000\t90.0\t5.0\n");
}

TEST(CliDecode, UnreadableFileAndUsage)
{
    const CliRun missing = runCli(kDecode + "/nonexistent/varno.nmea");
    EXPECT_EQ(std::tie(missing.code, missing.out), std::tuple(2, ""));
    EXPECT_NE(missing.err.find(std::strerror(ENOENT)), std::string::npos) << missing.err;
    // A folder is named as one, not with whatever the last failed call left in errno.
    const CliRun folder = runCli(kDecode + "/");
    EXPECT_EQ(std::tie(folder.code, folder.err),
              std::tuple(2, std::string("varno-cli decode: cannot read /: a folder\n")));
    EXPECT_EQ(runCli(kDecode).code, 2);
    // --help after a subcommand is help, not a file name or a converter kind.
    for (const char* sub : {"decode", "convert", "trail"}) {
        const CliRun help = runCli(std::string(sub) + " --help");
        EXPECT_EQ(std::tie(help.code, help.err), std::tuple(0, "")) << sub;
        EXPECT_NE(help.out.find(std::string("varno-cli ") + sub), std::string::npos) << help.out;
    }
}

TEST(CliFiles, AFifoNamedAsAFileIsRefusedAtOnce)
{
    ScratchDir dir;
    const std::string fifo = dir.file("drive.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string no = "--settings /nonexistent/varno-test.reg ";
    for (const auto& [args, said] : std::initializer_list<std::pair<std::string, std::string>>{
             {"decode " + fifo, "varno-cli decode: cannot read " + fifo + ": not a regular file\n"},
             {"decode /dev/zero", "varno-cli decode: cannot read /dev/zero: not a regular file\n"},
             {"replay " + fifo, "Error can't open the log file\n" + fifo + ": not a regular file\n"},
             {"live --port /dev/null --log " + fifo,
              "Error can't open the NMEA data file\n" + fifo + "\n"}}) {
        const CliRun r = runCli(no + args, 10);
        EXPECT_EQ(std::tie(r.code, r.err), std::tuple(2, said)) << args;
    }
}

TEST(CliReplayAndLive, Failures)
{
    // Refusals of replay and live end with code 2 and say why (empty: a usage text).
    const std::string no = "--settings /nonexistent/varno-test.reg ";
    for (const auto& [args, said] : std::initializer_list<std::pair<std::string, std::string>>{
             {"replay /nonexistent/drive.nmea", "Error can't open the log file\n/nonexistent/drive.nmea\n"},
             {"replay", ""},
             {"replay --bogus x", ""},
             {"replay --aids direction,beep x.nmea",
              "varno-cli replay: unknown driver aid in 'direction,beep'\n"
              "usage: varno-cli replay [--settings FILE] [--cameras FILE] [--route FILE] "
              "[--aids LIST] [--roads ROADMAP] [--play] LOG\n"
              "  LIST: direction,chime,coach (any of them), all or none\n"
              "  ROADMAP: a road map (varno-cli roads build); a road event each time the road or its limit "
              "changes\n"},
             {"live --source tcp://127.0.0.1:1",
              "Can't open com port tcp://127.0.0.1:1\nConnection refused\n"},
             {"live --source gpsd://127.0.0.1:1",
              "Can't open com port gpsd://127.0.0.1:1\nConnection refused \u2014 is gpsd running?\n"},
             {"live --source gpsd://", "Can't open com port gpsd://\nNot a host and port to connect to\n"},
             {"live --speed 4800", ""},
             {"live --port Com250",
              "Can't open com port Com250\nNo such file or directory \u2014 the device is not plugged in\n"},
             {"live --port /dev/null --log /nonexistent/dir/log.txt",
              "Error can't open the NMEA data file\n/nonexistent/dir/log.txt\n"}}) {
        const CliRun r = runCli(no + args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(said.empty() ? said : r.err, said) << args;
    }
    // No settings, no --cameras: the loader says once it cannot name the camera file; the drive replays.
    const CliRun noSettings =
        runCli("--settings /nonexistent/varno.reg replay '" VARNO_TEST_DATA_DIR "/drives/approach.nmea'");
    EXPECT_EQ(noSettings.code, 0);
    const std::string said = "Error can't get the camera filename from the registry.";
    const std::size_t first = noSettings.err.find(said);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(noSettings.err.find(said, first + 1), std::string::npos) << noSettings.err;
}

// Kilometres with a '.' under any locale; negative longitudes are numbers, not options; wrong counts are
// usage.
TEST(CliDistance, PrintsKilometresAndRefusesAWrongNumberOfPositions)
{
    ::setenv("LC_ALL", "de_DE.UTF-8", 1); // where printf's "%.3f" would write "111,248"
    for (const auto& [args, code, out] : std::initializer_list<std::tuple<std::string, int, std::string>>{
             {"distance 0 -0.5 0 0.5", 0, "111.319 km\n"},
             {"distance N51 x '' 0", 0, "0.000 km\n"},
             {"distance 1 2 3", 2, ""},
             {"distance 1 2 3 4 5", 2, ""}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(std::tie(r.code, r.out), std::tie(code, out)) << args;
    }
    ::unsetenv("LC_ALL");
}

// poi and trail refuse what they cannot read (their outputs are golden cases); a cut GPX file keeps the
// points before the fault.
TEST(CliPoiAndTrail, Refusals)
{
    ScratchDir dir;
    writeBytes(dir.file("cut.gpx"), "<gpx><rte><rtept lat=\"1\" lon=\"2\"/><rtept");
    for (const auto& [args, code, said] : std::initializer_list<std::tuple<std::string, int, std::string>>{
             {"trail " + dir.file("cut.gpx"), 1, dir.file("cut.gpx") + ":1:"},
             {"trail /nonexistent/t.gpx", 2, "/nonexistent/t.gpx: "},
             {"trail", 2, "usage"},
             {"poi", 2, "usage"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, code) << args;
        EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    }
    EXPECT_EQ(runCli("trail " + dir.file("cut.gpx")).out, "1.000000,2.000000\n");
}

// Refusals and misses first, on no file; then hex numbers, quoted texts and --sz are stored, and names are
// found whatever their case.
TEST(CliSettings, RefusesWhatItCannotStoreMissesWhatIsNotThereAndStoresTheRest)
{
    ScratchDir dir;
    const auto run = [&](const std::string& args) {
        return runCli("--settings '" + dir.file("settings.reg") + "' settings " + args);
    };
    CliRun r = run("get Port");
    EXPECT_TRUE(r.code == 1 && r.out.empty() && !r.err.empty());
    EXPECT_EQ(run("list").code, 1);
    for (const char* bad : {"set MapScale abc", "set MapScale -1", "set MapScale 4294967296",
                            "set Port 5 --dword", // Port is a text
                            "frobnicate"})
        EXPECT_EQ(run(bad).code, 2) << bad;
    r = run("set Unknown 5");
    EXPECT_TRUE(r.code == 2 && r.err.find("--dword or --sz") != std::string::npos) << r.err;
    EXPECT_EQ(run("set Unknown 0xFFFFFFFF --dword").code, 0);
    EXPECT_EQ(run("get Unknown").out, "4294967295\n");
    EXPECT_EQ(run("get Speed").code, 1);

    EXPECT_EQ(run("check-registry").code, 0);
    EXPECT_EQ(run("set MapScale 0x1f40").code, 0);
    EXPECT_EQ(run("set CameraFile 'C:\\VARNO\\my \"cams\".txt'").code, 0);
    EXPECT_EQ(run("set POIFiles\\\\POIFile1 fuel.asc --sz").code, 0);
    EXPECT_EQ(run("get mapscale").out, "8000\n");
    EXPECT_EQ(run("get CameraFile").out, "C:\\VARNO\\my \"cams\".txt\n");
    EXPECT_EQ(run("get POIFiles\\\\POIFile1").out, "fuel.asc\n");
    // The time zone may follow the system's.
    EXPECT_EQ(run("set TimeZone System").code, 0);
    EXPECT_EQ(run("get TimeZone").out, "System\n");
    EXPECT_NE(run("list").out.find("\nPOIFiles\\POIFile1\tREG_SZ\tfuel.asc\n"), std::string::npos);
}

// A new profile set up without a window: the recommended values, with the units of the locale, and the
// data folders; the defaults alone with --spec; a profile set up already is refused and left as it was.
TEST(CliSettings, FirstRunSetsUpOnlyANewProfile)
{
    ScratchDir dir;
    ::setenv("VARNO_HOME", dir.file("home").c_str(), 1);
    const auto run = [&](const std::string& file, const std::string& args,
                         const char* locale = "de_DE.UTF-8") {
        ::setenv("LC_ALL", locale, 1);
        return runCli("--settings '" + dir.file(file) + "' settings " + args);
    };
    CliRun r = run("de.reg", "first-run");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("de.reg") + ": a new profile, recommended for driving\n");
    for (const char* on : {"AidDirection", "AidChime", "AidCoach", "ScaleWithWindow", "SpeedUnits"})
        EXPECT_EQ(run("de.reg", std::string("get ") + on).out, "1\n") << on;
    EXPECT_EQ(run("de.reg", "get TimeZone").out, "System\n");
    EXPECT_EQ(run("de.reg", "get FirstRunPending").out, "0\n");
    EXPECT_EQ(run("de.reg", "get MapScale").out, "4000\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("home/Log")));

    EXPECT_EQ(run("gb.reg", "first-run --recommended", "en_GB.UTF-8").code, 0);
    EXPECT_EQ(run("gb.reg", "get SpeedUnits").out, "0\n");

    EXPECT_EQ(run("spec.reg", "first-run --spec").out,
              dir.file("spec.reg") + ": a new profile, with the defaults\n");
    EXPECT_EQ(run("spec.reg", "get AidDirection").out, "0\n");
    EXPECT_EQ(run("spec.reg", "get TimeZone").out, "+1\n");

    // Set up already: refused, nothing changed.
    const std::string before = readBytes(dir.file("spec.reg"));
    r = run("spec.reg", "first-run --recommended");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a new profile"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(dir.file("spec.reg")), before);
    EXPECT_EQ(run("new.reg", "first-run --fast").code, 2);
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::unsetenv("VARNO_HOME");
}

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

struct LiveCliTest : ::testing::Test {
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC); // the child must not hold the master
        ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
        slavePath = ptsname(master);
    }
    void TearDown() override
    {
        if (master >= 0)
            ::close(master);
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    }
    // The shell replaces itself with the program, so `child` is the program itself.
    void launch(const std::string& args)
    {
        const std::string cmd = "exec '" VARNO_CLI_PATH "' --settings /nonexistent/varno-test.reg live " +
                                args + " >'" + outPath + "' 2>'" + errPath + "'";
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    // Sends until the program printed a line (input sent before the port is set up meets a cooked line).
    bool sendUntilPrinted()
    {
        const std::string s = kRmc + "\r\n";
        for (int i = 0; i < 150 && ::write(master, s.data(), s.size()) == ssize_t(s.size()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (readBytes(outPath).find('\n') != std::string::npos)
                return true;
        }
        return false;
    }
    int wait()
    {
        int status = 0;
        waitpid(std::exchange(child, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int master = -1;
    pid_t child = -1;
    ScratchDir dir;
    std::string slavePath, outPath = dir.file("out"), errPath = dir.file("err"), logPath = dir.file("log");
};

TEST_F(LiveCliTest, PrintsHandedOverSentencesAndEndsCleanlyOnCtrlC)
{
    launch("--port " + slavePath + " --log '" + logPath + "'");
    ASSERT_TRUE(sendUntilPrinted()) << readBytes(errPath);
    kill(child, SIGINT);
    EXPECT_EQ(wait(), 0);
    const std::string out = readBytes(outPath);
    // RMC brings speed and course; the position waits for a GGA.
    EXPECT_EQ(out.rfind("1\tGPRMC\tok\t0.000000\t0.000000\t00:00:00\t0.000\t226.6\t", 0), 0u) << out;
    EXPECT_NE(readBytes(errPath).find("Opening " + slavePath + "..."), std::string::npos);
    // The log holds whole sentences with CR LF.
    EXPECT_NE(readBytes(logPath).find(kRmc + "\r\n"), std::string::npos);
}

TEST_F(LiveCliTest, ReceiverUnpluggedEndsWithCode3AndTheMessage)
{
    launch("--port=" + slavePath);
    ASSERT_TRUE(sendUntilPrinted()) << readBytes(errPath);
    ::close(master);
    master = -1;
    EXPECT_EQ(wait(), 3);
    EXPECT_NE(readBytes(errPath).find("The GPS receiver on " + slavePath +
                                      " stopped responding.\nCheck the connection and press Start."),
              std::string::npos);
}

// A TCP stream as phone apps send it: lines go out as they come, and after the server restarts on the same
// port, --reconnect picks the stream up again and says so on stderr.
TEST_F(LiveCliTest, TcpSourceResumesAfterTheServerRestartsWithReconnect)
{
    TcpServer server;
    const std::string name = server.name("tcp");
    launch("--source " + name + " --reconnect --log '" + logPath + "'");
    ASSERT_TRUE(server.accept());
    auto sendUntil = [&](const std::string& text, std::size_t lines) {
        for (int i = 0; i < 100; ++i) {
            if (!server.send(text))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::string out = readBytes(outPath);
            if (std::size_t(std::count(out.begin(), out.end(), '\n')) >= lines)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(sendUntil(kRmc + "\n", 1)) << readBytes(errPath);
    server.shut();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(server.listen(server.port));
    ASSERT_TRUE(server.accept());
    const std::string first = readBytes(outPath);
    const auto before = std::size_t(std::count(first.begin(), first.end(), '\n'));
    ASSERT_TRUE(sendUntil(kRmc + "\r\n", before + 1)) << readBytes(errPath);
    kill(child, SIGINT);
    EXPECT_EQ(wait(), 0);
    const std::string err = readBytes(errPath);
    EXPECT_NE(err.find("GPS on " + name + " lost: waiting for it to come back\nGPS on " + name +
                       " is back: reading resumed\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("Opening"), std::string::npos); // no serial line to set up
    const std::string log = readBytes(logPath);
    EXPECT_EQ(log.substr(0, kRmc.size() + 2), kRmc + "\r\n");
    EXPECT_EQ(log.find('\n', kRmc.size() + 2) - log.find('\r', kRmc.size() + 2), 1u);
}

} // namespace
} // namespace varno::test
