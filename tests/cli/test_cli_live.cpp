// varno-cli live against a pseudo-terminal playing the receiver: output, Ctrl-C, unplugging, bad ports.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"

namespace varno::test {
namespace {

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

class LiveCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC); // the child must not hold the master
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
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
    void launch(std::vector<std::string> args)
    {
        args.insert(args.begin(), {VARNO_CLI_PATH, "--settings", "/nonexistent/varno-test.reg", "live"});
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    // Keeps sending the sentence until the program printed a line for it
    // (input sent before the port is set up would meet a cooked line).
    bool sendUntilPrinted()
    {
        for (int i = 0; i < 150; ++i) {
            const std::string s = kRmc + "\r\n";
            if (::write(master, s.data(), s.size()) != ssize_t(s.size()))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (readBytes(outPath).find('\n') != std::string::npos)
                return true;
        }
        return false;
    }
    int wait()
    {
        int status = 0;
        waitpid(child, &status, 0);
        child = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int master = -1;
    pid_t child = -1;
    ScratchDir dir;
    std::string slavePath, outPath = dir.file("out"), errPath = dir.file("err"), logPath = dir.file("log");
};

TEST_F(LiveCliTest, PrintsHandedOverSentencesAndEndsCleanlyOnCtrlC)
{
    launch({"--port", slavePath, "--log", logPath});
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
    launch({"--port=" + slavePath});
    ASSERT_TRUE(sendUntilPrinted()) << readBytes(errPath);
    ::close(master);
    master = -1;
    EXPECT_EQ(wait(), 3);
    EXPECT_NE(readBytes(errPath).find("The GPS receiver on " + slavePath +
                                      " stopped responding.\nCheck the connection and press Start."),
              std::string::npos);
}

TEST_F(LiveCliTest, PortThatCannotBeOpenedOrBadArgumentsGiveCode2)
{
    launch({"--port", "Com250"});
    EXPECT_EQ(wait(), 2);
    EXPECT_EQ(readBytes(errPath), "Can't open com port Com250\n");
    launch({"--speed", "4800"});
    EXPECT_EQ(wait(), 2);
    launch({"--port", slavePath, "--log", "/nonexistent/dir/log.txt"});
    EXPECT_EQ(wait(), 2);
    EXPECT_EQ(readBytes(errPath), "Error can't open the NMEA data file\n/nonexistent/dir/log.txt\n");
}

} // namespace
} // namespace varno::test
