// Sources besides the serial port: network source names, the gpsd/TCP line filter, and the reader
// waiting for a device that went away and resuming when it is back.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "FakeSerialPort.h"
#include "core/base/ScratchFiles.h"
#include "gps/GpsControl.h"
#include "gps/SerialReader.h"
#include "gps/SourceName.h"
#include "gps/StreamLines.h"
#include "settings/SettingsStore.h"
#include "support/RecordingPrompt.h"

namespace varno::gps {
namespace {

using test::readBytes;
using namespace std::chrono_literals;

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

TEST(SourceNameTest, NetworkNamesParseAndComposeFromTheStoredChoice)
{
    const struct {
        const char* name;
        std::optional<NetworkSource> want;
    } cases[] = {
        {"GPSD://gps.lan", NetworkSource{SourceKind::Gpsd, "gps.lan", 2947}},
        {"tcp://10.0.0.7:10110/", NetworkSource{SourceKind::Tcp, "10.0.0.7", 10110}},
        {"tcp://[::1]:5000", NetworkSource{SourceKind::Tcp, "::1", 5000}},
        {"tcp://host", std::nullopt}, // a stream has no default port
        {"tcp://host:65536", std::nullopt},
        {"tcp://host:12x", std::nullopt},
        {"gpsd://:2947", std::nullopt},
        {"gpsd://a:b:1", std::nullopt}, // a bare IPv6 address needs brackets
        {"gpsd://[::1]x", std::nullopt},
        {"/dev/ttyUSB0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseNetworkSource(c.name), c.want) << c.name;
    EXPECT_TRUE(isNetworkSourceName("tcp://host")); // malformed, but never a serial port
    EXPECT_EQ(sourceKindFromText("junk"), SourceKind::Serial);
    EXPECT_EQ(sourceName(SourceKind::Gpsd, "", "", ""), "gpsd://localhost:2947");
    EXPECT_EQ(sourceName(SourceKind::Tcp, "", "::1", "99999"), "tcp://[::1]:2947");
}

// Fed in the given pieces, the filter gives exactly `out`.
TEST(StreamLinesTest, KeepsLinesWholeAcrossChunksDropsGpsdJsonAndOverlongLines)
{
    const std::string json = R"({"class":"VERSION","release":"3.25","proto_major":3})";
    const std::string atMax = "$GPGGA," + std::string(StreamLines::kMaxLine - 7, '1');
    const struct {
        StreamLines::Mode mode;
        std::vector<std::string> pieces;
        std::string out;
    } cases[] = {
        // gpsd ends JSON with LF and passes NMEA with CR LF; either may be split anywhere.
        {StreamLines::Mode::Gpsd,
         {json + "\n" + kRmc.substr(0, 10), kRmc.substr(10) + "\r", "\n"},
         kRmc + "\r\n"},
        {StreamLines::Mode::Gpsd, {"garbage\n{\"class\":\n", "!AIVDM,1\n"}, "!AIVDM,1\r\n"},
        {StreamLines::Mode::Raw, {"a\rb\n\nc\r\n"}, "a\r\nb\r\nc\r\n"},
        {StreamLines::Mode::Raw, {json + "\n"}, json + "\r\n"},
        {StreamLines::Mode::Raw, {"no end yet"}, ""},
        // A line at the limit passes; one byte more and the whole line goes, up to its end.
        {StreamLines::Mode::Gpsd, {atMax + "\n"}, atMax + "\r\n"},
        {StreamLines::Mode::Gpsd, {atMax + "2", "3333\n" + kRmc + "\n"}, kRmc + "\r\n"},
    };
    for (const auto& c : cases) {
        StreamLines lines(c.mode);
        std::string out;
        for (const auto& p : c.pieces)
            lines.feed(p, out);
        EXPECT_EQ(out, c.out) << c.pieces.front();
    }

    // A megabyte without a line end is dropped as it comes and counted once; reset forgets a partial line.
    StreamLines lines(StreamLines::Mode::Gpsd);
    std::string out;
    const std::string chunk(4096, 'x');
    for (int i = 0; i < 256; ++i)
        lines.feed(chunk, out);
    lines.feed("\n$GPGSA,partial", out);
    EXPECT_EQ(out, "");
    EXPECT_EQ(lines.stats().overlong, 1u);
    lines.reset(StreamLines::Mode::Gpsd);
    lines.feed("*00\n" + kRmc + "\n", out);
    EXPECT_EQ(out, kRmc + "\r\n");
    EXPECT_EQ(lines.stats().dropped, 1u); // "*00" is no NMEA line
}

struct ReconnectTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(log.open(logPath));
        ASSERT_TRUE(port.open("/dev/ttyUSB0"));
        reader.setCallbacks({[] {},
                             [this](const std::string& m) { gone.push_back(m); },
                             {},
                             [this](const std::string& m) { status.push_back(m), ++statusCount; },
                             [this](const std::string& m) { status.push_back(m), ++statusCount; }});
    }
    void TearDown() override { reader.stop(); }

    test::ScratchDir dir;
    std::string logPath = dir.file("reconnect.txt");
    test::FakeSerialPort port;
    SentenceMailbox mailbox;
    NmeaLog log;
    SerialReader reader{port, mailbox, log};
    std::vector<std::string> gone, status; // read after the thread was joined
    std::atomic<int> reopenCalls{0}, statusCount{0};
    std::atomic<bool> deviceBack{false};
};

// The line cut off by the unplug never reaches the log; the reader retries until the device is back and reads
// on.
TEST_F(ReconnectTest, WaitsForTheDeviceResumesAndTheLogStaysPlainNmea)
{
    reader.setReopen(
        [this] {
            ++reopenCalls;
            return deviceBack.load() && port.open("/dev/ttyUSB0");
        },
        1ms);
    ASSERT_TRUE(reader.start("/dev/ttyUSB0"));
    port.feed(kRmc + "\r\n$GPRMC,1225");
    port.unplug();
    while (reopenCalls.load() < 3)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(reader.running());
    deviceBack = true;
    while (!port.isOpen())
        std::this_thread::sleep_for(1ms);
    port.feed("18.0,A*00\r\n" + kRmc + "\r\n");
    port.waitDrained();
    reader.stop();
    log.close();
    EXPECT_EQ(readBytes(logPath), kRmc + "\r\n18.0,A*00\r\n" + kRmc + "\r\n");
    EXPECT_TRUE(gone.empty());
    EXPECT_EQ(status, (std::vector<std::string>{"GPS on /dev/ttyUSB0 lost: waiting for it to come back",
                                                "GPS on /dev/ttyUSB0 is back: reading resumed"}));
}

// Stop ends the wait at once, however long the retry interval; no gone message either.
TEST_F(ReconnectTest, StopEndsTheWaitPromptly)
{
    reader.setReopen([this] { return ++reopenCalls, false; }, 1h);
    ASSERT_TRUE(reader.start("gpsd://localhost:2947"));
    port.unplug();
    while (statusCount.load() == 0) // the reader is waiting
        std::this_thread::sleep_for(1ms);
    const auto before = std::chrono::steady_clock::now();
    reader.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_EQ(reopenCalls.load(), 0);
    EXPECT_TRUE(gone.empty());
}

// GpsControl: the stored source choice picks the name; a network source skips the serial line set-up and
// its waits; Reconnect on makes the reader reopen the same name with the line settings of the first open.
TEST(GpsControlSourceTest, StoredChoiceNetworkOpenAndReopenWithTheSameLine)
{
    test::ScratchDir dir;
    settings::SettingsStore store(dir.file("s.reg"));
    test::RecordingPrompt prompt;
    settings::Settings settings(store, prompt);
    ASSERT_TRUE(settings.writeDefaults());
    test::FakeSerialPort port;
    SentenceMailbox mailbox;
    NmeaLog log;
    std::vector<std::chrono::milliseconds> waits;
    GpsControl::Hooks hooks;
    hooks.sleep = [&](std::chrono::milliseconds ms) { waits.push_back(ms); };
    GpsControl gps(port, mailbox, log, prompt, settings, hooks);

    ASSERT_TRUE(settings.write(settings::keys::Source, "gpsd"));
    ASSERT_TRUE(settings.write(settings::keys::SourceHost, "pi.lan"));
    ASSERT_TRUE(gps.OpenCommPort());
    EXPECT_EQ(gps.portName(), "gpsd://pi.lan:2947");
    EXPECT_EQ(port.calls, std::vector<std::string>{"open gpsd://pi.lan:2947"});
    EXPECT_TRUE(waits.empty());
    gps.CloseCommPort();

    ASSERT_TRUE(settings.write(settings::keys::Source, "Serial"));
    ASSERT_TRUE(settings.write(settings::keys::Speed, "9600"));
    ASSERT_TRUE(settings.write(settings::keys::Reconnect, 1));
    std::atomic<bool> resumed{false};
    gps.setReaderCallbacks(
        {[] {}, [](const std::string&) {}, {}, {}, [&](const std::string&) { resumed = true; }});
    gps.StartGps();
    ASSERT_TRUE(gps.reader().running());
    port.calls.clear();
    port.unplug();
    while (!resumed.load())
        std::this_thread::sleep_for(1ms);
    gps.StopGps();
    EXPECT_EQ(std::vector(port.calls.begin(), port.calls.begin() + 5),
              (std::vector<std::string>{"close", "open Com1", "apply", "timeout 2000", "clear"}));
    EXPECT_EQ(port.applied.back().baud, 9600u);
    EXPECT_TRUE(prompt.texts().empty());
}

} // namespace
} // namespace varno::gps
