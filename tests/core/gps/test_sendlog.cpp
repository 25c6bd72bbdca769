// Send log: what goes to the port, loop counting, pause and single step, stop, and the port open.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "gps/SendLog.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using namespace varno::gps;

namespace {

namespace fs = std::filesystem;

// A port that keeps what is written to it.
class WrittenPort final : public SerialPort {
public:
    bool openSucceeds = true;
    bool failWrites = false;
    std::vector<std::string> calls;

    bool open(const std::string& name) override
    {
        calls.push_back("open " + name);
        open_ = openSucceeds;
        return open_;
    }
    bool isOpen() const override { return open_; }
    std::optional<LineSettings> state() override { return LineSettings{}; }
    bool applyState(const LineSettings& s) override
    {
        calls.push_back("apply " + std::to_string(s.baud));
        return true;
    }
    bool setReadTimeout(std::chrono::milliseconds t) override
    {
        calls.push_back("timeout " + std::to_string(t.count()));
        return true;
    }
    void clearErrors() override {}
    ReadResult read(std::span<char>) override { return {}; }
    void interruptRead() override {}
    bool write(std::string_view data) override
    {
        std::lock_guard l(m);
        if (failWrites || !open_)
            return false;
        lines.emplace_back(data);
        cv.notify_all();
        return true;
    }
    bool close() override
    {
        calls.push_back("close");
        open_ = false;
        return true;
    }
    void waitForLines(std::size_t n)
    {
        std::unique_lock l(m);
        cv.wait_for(l, std::chrono::seconds(10), [&] { return lines.size() >= n; });
    }
    std::size_t count()
    {
        std::lock_guard l(m);
        return lines.size();
    }

    std::mutex m;
    std::condition_variable cv;
    std::vector<std::string> lines;

private:
    std::atomic<bool> open_{false};
};

struct SendFixture : ::testing::Test {
    fs::path file;
    WrittenPort port;
    test::RecordingPrompt prompt;
    std::vector<int> linesShown, loopsShown;
    std::vector<std::chrono::milliseconds> sleeps, ticks;
    std::optional<std::string> portSetting = "Com3";

    void SetUp() override
    {
        file = fs::temp_directory_path() /
               (std::string("varno_send_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { fs::remove(file); }
    void write(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

    PortSettingsSource settings()
    {
        return {[] { return true; },
                [this](std::string_view n) -> std::optional<std::string> {
                    if (n == "Port")
                        return portSetting;
                    if (n == "Speed")
                        return "9600";
                    return std::nullopt;
                }};
    }
    SendLog::Callbacks callbacks()
    {
        SendLog::Callbacks c;
        c.showLinesSent = [this](int n) { linesShown.push_back(n); };
        c.showLoopCount = [this](int n) { loopsShown.push_back(n); };
        c.sleep = [this](std::chrono::milliseconds ms) { sleeps.push_back(ms); };
        c.waitTick = [this](std::chrono::milliseconds ms) { ticks.push_back(ms); };
        return c;
    }
};

} // namespace

TEST_F(SendFixture, SendsEachPassWithCrLfAndCountsDownTheLoops)
{
    write("$GPGGA,1\r\n\r\nA\n$GPRMC,2");
    SendLog send(port, prompt, settings(), callbacks());
    ASSERT_TRUE(send.start(file.string(), 2, false));
    send.join();
    // The empty line is counted but not written; a one-character line is, and
    // no line keeps its own line end in front of the CR LF.
    const std::vector<std::string> pass = {"$GPGGA,1\r\n", "A\r\n", "$GPRMC,2\r\n"};
    std::vector<std::string> both = pass;
    both.insert(both.end(), pass.begin(), pass.end());
    EXPECT_EQ(port.lines, both);
    EXPECT_EQ(send.linesSent(), 8);
    EXPECT_EQ(linesShown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(loopsShown, (std::vector<int>{1, 0, 1}));
    EXPECT_TRUE(ticks.empty());
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(SendFixture, OpensThePortWithTheSendTimeoutsAndWaits)
{
    write("$GP\r\n");
    SendLog send(port, prompt, settings(), callbacks());
    ASSERT_TRUE(send.start(file.string(), 1, true));
    send.join();
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open Com3", "apply 9600", "timeout 10"}));
    EXPECT_EQ(sleeps, (std::vector<std::chrono::milliseconds>(3, std::chrono::milliseconds(1000))));
    EXPECT_EQ(ticks, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(500)});
    send.stop();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SendFixture, PortAndFileFailures)
{
    write("$GP\r\n");
    port.openSucceeds = false;
    SendLog send(port, prompt, settings(), callbacks());
    EXPECT_FALSE(send.start(file.string(), 1, false));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Can't open com port Com3"});

    prompt.shown.clear();
    portSetting.reset();
    EXPECT_FALSE(send.start(file.string(), 1, false));
    EXPECT_EQ(prompt.texts(),
              std::vector<std::string>{
                  "Unable read the comm port name from the registry.\nPlease check the port settings ?"});

    prompt.shown.clear();
    portSetting = "Com3";
    port.openSucceeds = true;
    const std::string missing = file.string() + ".none";
    ASSERT_TRUE(send.start(missing, 3, false));
    send.join();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error can't open the log file\n" + missing});

    // A failed write ends the worker without a word.
    prompt.shown.clear();
    port.failWrites = true;
    ASSERT_TRUE(send.start(file.string(), 3, false));
    send.join();
    EXPECT_EQ(send.loopCount(), 3);
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(SendFixture, PauseHoldsSingleStepLetsOneLineThroughAndStopEndsAPausedSend)
{
    write("$GP1\r\n$GP2\r\n$GP3\r\n$GP4\r\n");
    auto cb = callbacks();
    SendLog* self = nullptr;
    cb.showLinesSent = [&](int n) {
        if (n == 1)
            self->pause(); // paused after the first line went out
    };
    SendLog send(port, prompt, settings(), cb);
    self = &send;
    ASSERT_TRUE(send.start(file.string(), 1, false));
    port.waitForLines(1);
    for (int i = 0; i < 10000 && !send.paused(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(send.paused());
    send.singleStep();
    port.waitForLines(2);
    // Still paused: stop must end the worker rather than leave it polling.
    send.stop();
    EXPECT_FALSE(send.running());
    EXPECT_EQ(port.count(), 2u);
    EXPECT_FALSE(port.isOpen());
}
