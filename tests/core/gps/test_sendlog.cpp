// Send log: what goes to the port, loop counting, pause and single step, stop, and the port open.
#include <gtest/gtest.h>

#include <thread>

#include "core/base/ScratchFiles.h"
#include "FakeSerialPort.h"
#include "gps/SendLog.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"

using namespace varno;
using namespace varno::gps;
using std::chrono::milliseconds;

namespace {

struct SendFixture : ::testing::Test {
    test::ScratchDir dir;
    std::string file = dir.file("send.txt");
    test::FakeSerialPort port;
    test::RecordingPrompt prompt;
    std::vector<int> loopsShown;
    std::vector<milliseconds> sleeps, ticks;
    test::TestSettings stored{prompt};

    SendFixture()
    {
        stored.set(settings::keys::Port, "Com3");
        stored.set(settings::keys::Speed, "9600");
    }
    SendLog::Callbacks callbacks()
    {
        SendLog::Callbacks c;
        c.showLoopCount = [this](int n) { loopsShown.push_back(n); };
        c.sleep = [this](milliseconds ms) { sleeps.push_back(ms); };
        c.waitTick = [this](milliseconds ms) { ticks.push_back(ms); };
        return c;
    }
};

} // namespace

TEST_F(SendFixture, SendsEachPassWithCrLfAndCountsDownTheLoops)
{
    test::writeBytes(file, "$GPGGA,1\r\n\r\nA\n$GPRMC,2");
    SendLog send(port, prompt, stored, callbacks());
    ASSERT_TRUE(send.start(file, 2, false));
    send.join();
    // The empty line is counted but not written; a one-character line is, and
    // no line keeps its own line end in front of the CR LF.
    EXPECT_EQ(port.waitForWrites(6), (std::vector<std::string>{"$GPGGA,1\r\n", "A\r\n", "$GPRMC,2\r\n",
                                                               "$GPGGA,1\r\n", "A\r\n", "$GPRMC,2\r\n"}));
    EXPECT_EQ(send.linesSent(), 8);
    EXPECT_EQ(loopsShown, (std::vector<int>{1, 0, 1}));
    EXPECT_TRUE(ticks.empty());
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(SendFixture, OpensThePortWithTheSendTimeoutsAndWaits)
{
    test::writeBytes(file, "$GP\r\n");
    SendLog send(port, prompt, stored, callbacks());
    ASSERT_TRUE(send.start(file, 1, true));
    send.join();
    ASSERT_EQ(port.applied.size(), 1u);
    EXPECT_EQ(port.applied[0].baud, 9600u);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open Com3", "apply", "timeout 10", "clear"}));
    EXPECT_EQ(sleeps, (std::vector<milliseconds>(3, milliseconds(1000))));
    EXPECT_EQ(ticks, std::vector<milliseconds>{milliseconds(500)});
    send.stop();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SendFixture, PortAndFileFailures)
{
    test::writeBytes(file, "$GP\r\n");
    port.openSucceeds = false;
    SendLog send(port, prompt, stored, callbacks());
    EXPECT_FALSE(send.start(file, 1, false));
    stored.erase(settings::keys::Port);
    EXPECT_FALSE(send.start(file, 1, false));
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Can't open com port Com3",
                                                        "Unable read the comm port name from the registry.\n"
                                                        "Please check the port settings ?"}));
    prompt.shown.clear();
    stored.set(settings::keys::Port, "Com3");
    port.openSucceeds = true;
    const std::string missing = file + ".none";
    ASSERT_TRUE(send.start(missing, 3, false));
    send.join();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error can't open the log file\n" + missing});

    // A failed write ends the worker without a word.
    prompt.shown.clear();
    port.writeSucceeds = false;
    ASSERT_TRUE(send.start(file, 3, false));
    send.join();
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(SendFixture, PauseHoldsSingleStepLetsOneLineThroughAndStopEndsAPausedSend)
{
    test::writeBytes(file, "$GP1\r\n$GP2\r\n$GP3\r\n$GP4\r\n");
    auto cb = callbacks();
    SendLog* self = nullptr;
    cb.showLinesSent = [&](int n) {
        if (n == 1)
            self->pause(); // paused after the first line went out
    };
    SendLog send(port, prompt, stored, cb);
    self = &send;
    ASSERT_TRUE(send.start(file, 1, false));
    port.waitForWrites(1);
    for (int i = 0; i < 10000 && !send.paused(); ++i)
        std::this_thread::sleep_for(milliseconds(1));
    ASSERT_TRUE(send.paused());
    send.singleStep();
    port.waitForWrites(2);
    // Still paused: stop must end the worker rather than leave it polling.
    send.stop();
    EXPECT_FALSE(send.running());
    EXPECT_EQ(port.waitForWrites(0).size(), 2u);
}
