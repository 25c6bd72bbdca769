// Send log over a pseudo-terminal: the far end receives the file as many times as the loop count asks.
#include <gtest/gtest.h>

#include "CSio.h"
#include "TestPty.h"
#include "gps/SendLog.h"
#include "support/RecordingPrompt.h"

namespace varno::gps {
namespace {

TEST(SendLogPty, LoopCountTwoSendsTheFileTwiceWithCrLf)
{
    test::Pty pty;
    ASSERT_FALSE(pty.path.empty());
    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "varno_sendlog_pty.txt";
    // LF and CR LF line ends, and an empty line, as real logs have them.
    const std::string gga = "$GPGGA,120000,5122.800,N,00119.800,W,1,08,1.0,100,M,,,,*4B";
    const std::string rmc = "$GPRMC,120000,A,5122.800,N,00119.800,W,30.0,90.0,010124,,*1C";
    std::ofstream(file, std::ios::binary) << gga << "\r\n\r\n" << rmc << "\n$GPGSV,1,1,00*79";

    platform::CSio port;
    test::RecordingPrompt prompt;
    PortSettingsSource settings{[] { return true; },
                                [&](std::string_view n) -> std::optional<std::string> {
                                    return n == "Port" ? std::optional(pty.path) : std::nullopt;
                                }};
    std::vector<int> loops;
    SendLog::Callbacks cb;
    cb.sleep = [](std::chrono::milliseconds) {};
    cb.showLoopCount = [&](int n) { loops.push_back(n); };
    SendLog send(port, prompt, settings, cb);
    ASSERT_TRUE(send.start(file.string(), 2, false)) << (prompt.texts().empty() ? "" : prompt.texts()[0]);

    const std::string once = gga + "\r\n" + rmc + "\r\n$GPGSV,1,1,00*79\r\n";
    const std::string got = pty.receive(2 * once.size());
    send.join();
    EXPECT_EQ(got, once + once);
    EXPECT_EQ(loops, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(send.linesSent(), 8);
    send.stop();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompt.texts().empty());
    std::filesystem::remove(file);
}

} // namespace
} // namespace varno::gps
