// Send log over a pseudo-terminal: the far end receives the file as many times as the loop count asks.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "CSio.h"
#include "gps/SendLog.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using namespace varno::gps;

namespace {

// Reads from the master side until `want` bytes arrived or nothing more comes.
std::string readMaster(int fd, std::size_t want)
{
    std::string got;
    char buf[512];
    while (got.size() < want) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            break;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, std::size_t(n));
    }
    return got;
}

} // namespace

TEST(SendLogPty, LoopCountTwoSendsTheFileTwiceWithCrLf)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string path = name;

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "varno_sendlog_pty.txt";
    // LF and CR LF line ends, and an empty line, as real logs have them.
    std::ofstream(file, std::ios::binary) << "$GPGGA,120000,5122.800,N,00119.800,W,1,08,1.0,100,M,,,,*4B\r\n"
                                          << "\r\n"
                                          << "$GPRMC,120000,A,5122.800,N,00119.800,W,30.0,90.0,010124,,*1C\n"
                                          << "$GPGSV,1,1,00*79";

    platform::CSio port;
    test::RecordingPrompt prompt;
    PortSettingsSource settings{[] { return true; },
                                [&](std::string_view n) -> std::optional<std::string> {
                                    if (n == "Port")
                                        return path;
                                    return std::nullopt;
                                }};
    SendLog::Callbacks cb;
    cb.sleep = [](std::chrono::milliseconds) {};
    std::vector<int> loops;
    cb.showLoopCount = [&](int n) { loops.push_back(n); };
    SendLog send(port, prompt, settings, cb);
    ASSERT_TRUE(send.start(file.string(), 2, false)) << (prompt.texts().empty() ? "" : prompt.texts()[0]);

    const std::string once = "$GPGGA,120000,5122.800,N,00119.800,W,1,08,1.0,100,M,,,,*4B\r\n"
                             "$GPRMC,120000,A,5122.800,N,00119.800,W,30.0,90.0,010124,,*1C\r\n"
                             "$GPGSV,1,1,00*79\r\n";
    const std::string got = readMaster(master, 2 * once.size());
    send.join();
    EXPECT_EQ(got, once + once);
    EXPECT_EQ(loops, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(send.linesSent(), 8);
    send.stop();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompt.texts().empty());

    ::close(master);
    ::close(slave);
    std::filesystem::remove(file);
}
