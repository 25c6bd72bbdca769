// Start and Stop of the GPS: opening from the settings, the messages, the waits, the port-open flag;
// and sending a log to the port: loop counting, pause and single step, stop.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "FakeSerialPort.h"
#include "gps/SendLog.h"
#include "gps/GpsControl.h"
#include "gps/PortList.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "support/UiQueue.h"

namespace varno::gps {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

TEST(SerialReaderSettingsMapping, StoredTextsOverThePortsSettings)
{
    const LineSettings port{9600, 7, Parity::Odd, StopBits::Two};
    using O = std::optional<std::string>;
    const struct {
        O speed, stop, parity, data;
        LineSettings want;
    } cases[] = {
        // Lower-case parity, DataBits "16" means 8, odd speeds go through as they are.
        {"4801", "1", "even", "16", {4801, 8, Parity::Even, StopBits::One}},
        {"4800 baud", "1.5", "MARK", "5", {4800, 5, Parity::Mark, StopBits::OneAndHalf}},
        {"19200", "2", "Space", "6", {19200, 6, Parity::Space, StopBits::Two}},
        // Unknown texts: parity stays as the port had it, stop bits 1, data bits 8.
        {"4800", "3", "Evens", "7 ", {4800, 8, Parity::Odd, StopBits::One}},
        {{}, {}, {}, {}, port}, // unreadable values leave everything as it was
        // No number, or a negative one, is no speed at all (the port refuses it).
        {"fast", {}, {}, {}, {0, 7, Parity::Odd, StopBits::Two}},
        {"-4800", {}, {}, {}, {0, 7, Parity::Odd, StopBits::Two}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mapStoredLineSettings(port, c.speed, c.stop, c.parity, c.data), c.want)
            << c.speed.value_or("");
}

TEST(SerialReaderPortNames, ComNAndDevicePathsAndTheChoices)
{
    for (const auto& [name, path] :
         {std::pair{"Com1", "/dev/ttyS0"}, std::pair{"COM12", "/dev/ttyS11"}, std::pair{"com3", "/dev/ttyS2"},
          std::pair{"/dev/by-id/a", "/dev/by-id/a"}})
        EXPECT_EQ(devicePathForPort(name), path);
    for (const char* bad : {"", "Com", "Com0", "Com01", "Com1x", "Com-1", "ttyUSB0", "COM 1", "Com99999999"})
        EXPECT_FALSE(devicePathForPort(bad)) << bad;
    // The port choices keep their order and drop repeats and empty names.
    struct Fixed : SerialPortEnumerator {
        std::vector<std::string> presentPorts() const override
        {
            return {"/dev/serial/by-id/a", "/dev/ttyUSB0", "", "/dev/ttyUSB0", "/dev/ttyS0"};
        }
    };
    EXPECT_EQ(comPortChoices(Fixed{}),
              (std::vector<std::string>{"/dev/serial/by-id/a", "/dev/ttyUSB0", "/dev/ttyS0"}));
}

struct SerialReaderControlTest : ::testing::Test {
    SerialReaderControlTest()
    {
        namespace keys = settings::keys;
        for (const auto& [key, text] :
             {std::pair{keys::Port, "Com3"}, std::pair{keys::Speed, "4800"}, std::pair{keys::Parity, "None"},
              std::pair{keys::StopBits, "1"}, std::pair{keys::DataBits, "8"}})
            settings.set(key, text);
    }

    GpsControl makeControl()
    {
        GpsControl::Hooks hooks{[this](std::chrono::milliseconds ms) { waits.push_back(ms); },
                                [this](bool busy, const std::string& name) {
                                    busyCalls.push_back((busy ? "busy " : "idle ") + name);
                                },
                                [this] { ++resets; }};
        return GpsControl(port, mailbox, log, prompt, settings, std::move(hooks));
    }

    test::FakeSerialPort port;
    SentenceMailbox mailbox;
    NmeaLog log;
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    std::vector<std::chrono::milliseconds> waits;
    std::vector<std::string> busyCalls;
    int resets = 0;
};

TEST_F(SerialReaderControlTest, SuccessfulOpenAppliesTheSettingsAfterTheFourWaits)
{
    settings.set(settings::keys::Parity, "even");
    settings.set(settings::keys::Speed, "4801");
    GpsControl gps = makeControl();
    ASSERT_TRUE(gps.OpenCommPort());
    EXPECT_TRUE(gps.portOpen());
    EXPECT_EQ(port.applied, std::vector<LineSettings>{(LineSettings{4801, 8, Parity::Even, StopBits::One})});
    EXPECT_EQ(waits, (std::vector<std::chrono::milliseconds>{1000ms, 2000ms, 500ms, 500ms}));
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open Com3", "apply", "timeout 2000", "clear"}));
    EXPECT_EQ(busyCalls, (std::vector<std::string>{"busy Com3", "idle Com3"}));
    EXPECT_TRUE(gps.CloseCommPort());
    EXPECT_FALSE(gps.CloseCommPort()); // already closed
    EXPECT_TRUE(prompt.shown.empty());
    // A failed close is reported, and the port counts as closed.
    gps.OpenCommPort();
    port.closeSucceeds = false;
    EXPECT_FALSE(gps.CloseCommPort());
    EXPECT_FALSE(gps.portOpen());
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Can't close port."});
}

TEST_F(SerialReaderControlTest, OpenFailuresShowTheirMessages)
{
    const std::string noName =
        "Unable read the comm port name from the registry.\nPlease check the port settings ?";
    // No key, no Port value, a name of 50 characters that does not fit the buffer, a port that fails.
    const std::tuple<bool, std::optional<std::string>, std::string> cases[] = {
        {false, "Com3", noName},
        {true, std::nullopt, noName},
        {true, "/dev/" + std::string(45, 'x'), noName},
        {true, "Com3", "Can't open com port Com3"},
    };
    for (const auto& [key, name, message] : cases) {
        SCOPED_TRACE(message);
        settings.removeKey();
        if (key)
            settings.store.createKey(settings::kVarnoKey);
        if (key && name)
            settings.set(settings::keys::Port, *name);
        port.openSucceeds = message == noName;
        prompt.shown.clear();
        GpsControl gps = makeControl();
        EXPECT_FALSE(gps.OpenCommPort());
        EXPECT_FALSE(gps.portOpen());
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{message});
    }
    EXPECT_EQ(port.calls, std::vector<std::string>{"open Com3"}); // only the last case reached the port
    EXPECT_TRUE(waits.empty());
    // Start reports the failed open, then that the port is not open, on the calling thread.
    prompt.shown.clear();
    GpsControl gps = makeControl();
    gps.StartGps();
    EXPECT_FALSE(gps.reader().running());
    EXPECT_EQ(prompt.texts(),
              (std::vector<std::string>{"Can't open com port Com3", "Comms port is not open"}));
}

TEST_F(SerialReaderControlTest, APortFromTheCommandLineNeedsNoSettings)
{
    // With settings, only the name is replaced; without, the line is 4800 8N1.
    settings.set(settings::keys::Speed, "9600");
    for (bool key : {true, false}) {
        if (!key)
            settings.removeKey();
        GpsControl gps = makeControl();
        gps.portOverride = "/dev/ttyUSB1";
        ASSERT_TRUE(gps.OpenCommPort());
        EXPECT_EQ(port.applied.back(), (LineSettings{key ? 9600u : 4800u, 8, Parity::None, StopBits::One}));
    }
    EXPECT_EQ(std::count(port.calls.begin(), port.calls.end(), "open /dev/ttyUSB1"), 2);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SerialReaderControlTest, FailureAfterTheOpenLeavesThePortFlaggedOpen)
{
    GpsControl gps = makeControl();
    port.applySucceeds = false;
    EXPECT_FALSE(gps.OpenCommPort());
    EXPECT_TRUE(gps.portOpen());
    port.applySucceeds = true;
    port.timeoutSucceeds = false;
    gps.StartGps(); // closes first, then opens again
    EXPECT_TRUE(gps.portOpen());
    port.stateSucceeds = false;
    gps.StartGps(); // no message for an unreadable state
    EXPECT_EQ(prompt.texts(),
              (std::vector<std::string>{
                  "SetCommState\nCould not set communication state \n openport aborted",
                  "SetCommTimeouts\nCould not set communication timeouts\n openport aborted"}));
    for (const auto& shown : prompt.shown)
        EXPECT_EQ(shown.icon, PromptIcon::Error);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"open Com3", "apply", "close", "open Com3", "apply",
                                                    "timeout 2000", "close", "open Com3"}));
    EXPECT_TRUE(gps.reader().running()); // the port is open, so the reader runs on it as it was
}

// Stop closes only after the reader ended; Start while running restarts; after an unplug Start works again.
TEST_F(SerialReaderControlTest, StartRunsTheReaderStopClosesOnlyAfterItEndedAndUnplugAllowsARestart)
{
    GpsControl gps = makeControl();
    std::atomic<int> gone{0};
    gps.setReaderCallbacks({{}, [&](const std::string&) { ++gone; }});
    gps.StartGps();
    ASSERT_TRUE(gps.reader().running());
    port.feed("$GPRMC,1*00\r");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), "$GPRMC,1*00");
    gps.StopGps();
    EXPECT_FALSE(gps.reader().running());
    EXPECT_FALSE(gps.portOpen());
    gps.StartGps();
    gps.StartGps(); // Start while running: stop, close, open, run
    EXPECT_EQ(resets, 3);
    EXPECT_TRUE(gps.reader().running());
    EXPECT_EQ(port.readsAfterClose, 0);
    EXPECT_EQ(std::count(port.calls.begin(), port.calls.end(), "open Com3"), 3);

    port.unplug();
    while (gps.reader().running())
        std::this_thread::yield();
    EXPECT_EQ(gone.load(), 1);
    gps.StartGps();
    port.feed("$GNGGA,2*00\r");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), "$GNGGA,2*00");
    EXPECT_TRUE(prompt.shown.empty());
}

using test::UiQueue;

// With a UI thread to post to, Start opens on a worker: it returns at once, the waits keep their
// order, and the message (with the system's reason), the flag and the reader follow on the UI thread.
TEST_F(SerialReaderControlTest, StartOpensOnAWorkerAndFinishesOnTheUiThread)
{
    UiQueue ui;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<std::thread::id> waitThreads;
    GpsControl::Hooks hooks{[&](milliseconds ms) {
                                waits.push_back(ms);
                                waitThreads.push_back(std::this_thread::get_id());
                            },
                            [this](bool busy, const std::string& name) {
                                busyCalls.push_back((busy ? "busy " : "idle ") + name);
                            },
                            {},
                            ui.post()};
    GpsControl gps(port, mailbox, log, prompt, settings, std::move(hooks));
    gps.StartGps();
    EXPECT_EQ(busyCalls, std::vector<std::string>{"busy Com3"}); // at once, before the worker's waits
    ASSERT_TRUE(ui.runUntil([&] { return !gps.opening(); }));
    EXPECT_TRUE(gps.portOpen() && gps.reader().running());
    EXPECT_EQ(waits, (std::vector<milliseconds>{1000ms, 2000ms, 500ms, 500ms}));
    EXPECT_EQ(std::count(waitThreads.begin(), waitThreads.end(), uiThread), 0);
    EXPECT_EQ(busyCalls, (std::vector<std::string>{"busy Com3", "idle Com3"}));
    EXPECT_TRUE(prompt.shown.empty());
    gps.StopGps();

    // A failed open: the reason on a second line, then the reader's complaint; a second Start while
    // the first one opens changes nothing.
    port.openSucceeds = false;
    port.failReason = "Permission denied \u2014 is your user in the dialout group?";
    gps.StartGps();
    gps.StartGps();
    ASSERT_TRUE(ui.runUntil([&] { return !gps.opening(); }));
    EXPECT_FALSE(gps.portOpen());
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Can't open com port Com3\n" + port.failReason,
                                                        "Comms port is not open"}));
    EXPECT_EQ(std::count(port.calls.begin(), port.calls.end(), "open Com3"), 2);
}

// Stop (or the end of the program) during the open's waits ends them at once and leaves nothing open;
// the open's late result never arrives.
TEST_F(SerialReaderControlTest, StopDuringTheOpenCancelsItsWaits)
{
    UiQueue ui;
    for (bool viaDestructor : {false, true}) {
        SCOPED_TRACE(viaDestructor);
        port.calls.clear();
        const auto started = std::chrono::steady_clock::now();
        {
            // Real waits (no sleep hook): 4 s unless cancelled.
            GpsControl gps(port, mailbox, log, prompt, settings, GpsControl::Hooks{{}, {}, {}, ui.post()});
            gps.StartGps();
            while (!port.called("open Com3"))
                std::this_thread::yield();
            if (!viaDestructor) {
                gps.StopGps();
                EXPECT_FALSE(gps.opening() || gps.portOpen() || gps.reader().running());
            }
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, 900ms);
        EXPECT_EQ(port.calls, (std::vector<std::string>{"open Com3", "close"}));
    }
    // Whatever the worker posted is dropped.
    std::lock_guard lock(ui.m);
    for (auto& fn : ui.queued)
        fn();
    EXPECT_TRUE(prompt.shown.empty());
}

// Sending a log uses the same port, prompt and settings.
struct SendFixture : SerialReaderControlTest {
    test::ScratchDir dir;
    std::string file = dir.file("send.txt");
    std::vector<int> loopsShown;
    std::vector<milliseconds> sleeps, ticks;

    SendLog::Callbacks callbacks()
    {
        SendLog::Callbacks c;
        c.showLoopCount = [this](int n) { loopsShown.push_back(n); };
        c.sleep = [this](milliseconds ms) { sleeps.push_back(ms); };
        c.waitTick = [this](milliseconds ms) { ticks.push_back(ms); };
        return c;
    }
};

// The port opens with the send time-outs and waits; each pass ends lines in CR LF; the loops count down.
TEST_F(SendFixture, SendsEachPassWithCrLfAndCountsDownTheLoops)
{
    test::writeBytes(file, "$GPGGA,1\r\n\r\nA\n$GPRMC,2");
    SendLog send(port, prompt, settings, callbacks());
    ASSERT_TRUE(send.start(file, 2, true));
    send.join();
    // The empty line is counted, not written; a one-character line is; no line keeps its own line end.
    EXPECT_EQ(port.waitForWrites(6), (std::vector<std::string>{"$GPGGA,1\r\n", "A\r\n", "$GPRMC,2\r\n",
                                                               "$GPGGA,1\r\n", "A\r\n", "$GPRMC,2\r\n"}));
    EXPECT_EQ(send.linesSent(), 8);
    EXPECT_EQ(loopsShown, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(std::tie(port.applied.at(0).baud, port.calls),
              std::tuple(4800u, std::vector<std::string>{"open Com3", "apply", "timeout 10", "clear"}));
    EXPECT_EQ(sleeps, (std::vector<milliseconds>(3, milliseconds(1000))));
    EXPECT_EQ(ticks, std::vector<milliseconds>(8, milliseconds(500)));
    EXPECT_TRUE(prompt.texts().empty());
    send.stop();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SendFixture, PortAndFileFailures)
{
    test::writeBytes(file, "$GP\r\n");
    port.openSucceeds = false;
    SendLog send(port, prompt, settings, callbacks());
    EXPECT_FALSE(send.start(file, 1, false));
    settings.erase(settings::keys::Port);
    EXPECT_FALSE(send.start(file, 1, false));
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Can't open com port Com3",
                                                        "Unable read the comm port name from the registry.\n"
                                                        "Please check the port settings ?"}));
    prompt.shown.clear();
    settings.set(settings::keys::Port, "Com3");
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
    SendLog send(port, prompt, settings, cb);
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

} // namespace
} // namespace varno::gps
