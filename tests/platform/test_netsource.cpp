// Network sources and hot-plug against real sockets and terminals: a gpsd that floods garbage or
// never answers, the real gpsd fed by gpsfake, and a pseudo-terminal that
// disappears and comes back under the same stable name.
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "NetSource.h"
#include "SourcePort.h"
#include "TcpServer.h"
#include "TestPty.h"
#include "gps/CNmeaDecoder.h"
#include "gps/GpsControl.h"
#include "gps/HandOffFilter.h"
#include "gps/Intake.h"
#include "settings/SettingsStore.h"
#include "support/Gpsfake.h"
#include "support/RecordingPrompt.h"

extern char** environ;

namespace varno::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::readBytes;
using test::TcpServer;

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
const std::string kGga = "$GPGGA,122518,5123.0366,N,00119.1139,W,1,08,0.9,100.0,M,,,,*00";

// The GPS as the window runs it, over a SourcePort, with every reader event recorded and each
// handed-over sentence taken at once (as a view that keeps up would).
struct Receiver {
    explicit Receiver(fs::path byId = "/dev/serial/by-id") : port(std::move(byId))
    {
        EXPECT_TRUE(log.open(logPath));
        gps.setReaderCallbacks({[this] {
                                    if (auto s = mailbox.take()) {
                                        std::lock_guard lock(m);
                                        sentences.push_back(*s);
                                    }
                                },
                                [this](const std::string& text) { record("gone: " + text); },
                                {},
                                [this](const std::string& text) { record(text); },
                                [this](const std::string& text) { record(text); }});
    }
    ~Receiver() { gps.StopGps(); }
    void record(const std::string& text)
    {
        std::lock_guard lock(m);
        events.push_back(text);
    }
    template <class F> bool waitFor(F done, std::chrono::milliseconds limit = 10s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            {
                std::lock_guard lock(m);
                if (done())
                    return true;
            }
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }
    std::string logText()
    {
        gps.StopGps();
        log.close();
        return readBytes(logPath);
    }

    test::ScratchDir dir;
    std::string logPath = dir.file("nmea.txt");
    settings::SettingsStore store{dir.file("none.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    SourcePort port;
    gps::SentenceMailbox mailbox;
    gps::NmeaLog log;
    gps::GpsControl gps{port, mailbox, log, prompt, settings, {[](std::chrono::milliseconds) {}, {}, {}}};
    std::mutex m;
    std::vector<std::string> sentences, events;
};

// A gpsd that answers with garbage, a megabyte line and JSON: only the NMEA gets through; it is asked for
// NMEA first; when it goes away without Reconnect the user hears what an unplugged receiver gives.
TEST(NetSourceTest, GpsdGarbageIsDroppedAndAVanishedGpsdSaysStoppedResponding)
{
    TcpServer server;
    Receiver rx;
    rx.gps.portOverride = server.name("gpsd");
    rx.gps.StartGps();
    ASSERT_TRUE(server.accept());
    EXPECT_EQ(server.receive(NetSource::kWatchRequest.size()), NetSource::kWatchRequest);
    ASSERT_TRUE(server.send("{\"class\":\"VERSION\",\"release\":\"3.25\"}\r\n{\"class\":\x01\xff garbage\n"));
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(server.send(std::string(4096, i % 2 ? '{' : '$')));
    ASSERT_TRUE(server.send("\r\n" + kRmc + "\r\n"));
    ASSERT_TRUE(rx.waitFor([&] { return rx.sentences.size() == 1; }));
    server.shut();
    ASSERT_TRUE(rx.waitFor([&] { return rx.events.size() == 1; }));
    EXPECT_EQ(rx.events.front(), "gone: The GPS receiver on " + server.name("gpsd") +
                                     " stopped responding.\nCheck the connection and press Start.");
    EXPECT_EQ(rx.logText(), kRmc + "\r\n");
}

// A peer that accepts and stays silent: Stop ends the waiting read at once, not after the read time-out.
TEST(NetSourceTest, StopEndsTheReadOfASilentPeerAtOnce)
{
    TcpServer server;
    Receiver rx;
    rx.gps.portOverride = server.name("tcp");
    rx.gps.StartGps();
    ASSERT_TRUE(rx.gps.reader().running());
    std::this_thread::sleep_for(50ms);
    const auto before = std::chrono::steady_clock::now();
    rx.gps.StopGps();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

// The receiver's positions through gpsfake and the real gpsd are those of reading its log directly.
TEST(NetSourceTest, RealGpsdFedByGpsfakeGivesTheLogsPositions)
{
    if (!fs::exists(varno::test::Gpsfake::kProgram) || !fs::exists("/usr/sbin/gpsd"))
        GTEST_SKIP() << "gpsfake/gpsd not installed";
    const std::string corpus = std::string(VARNO_CORPUS_DIR) + "/nmea/gpsd/garmin15x.log";

    std::vector<std::string> direct;
    std::ifstream in(corpus);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (gps::passesHandOffFilter(line))
            direct.push_back(line);
    }
    ASSERT_GT(direct.size(), 10u);

    std::uint16_t port = 0;
    {
        TcpServer probe; // a port nobody uses just now
        port = probe.port;
    }
    const std::string portText = std::to_string(port);
    varno::test::Gpsfake gpsfake(port, "0.05", corpus);
    ASSERT_TRUE(gpsfake.started());

    Receiver rx;
    rx.gps.portOverride = "gpsd://127.0.0.1:" + portText;
    for (int i = 0; i < 100 && !rx.gps.reader().running(); ++i) { // gpsd takes a moment to listen
        std::this_thread::sleep_for(100ms);
        rx.gps.StopGps();
        rx.gps.StartGps();
    }
    ASSERT_TRUE(rx.gps.reader().running());
    // The log takes a few seconds at 20 sentences a second; then nothing more comes.
    std::size_t seen = 0;
    auto lastChange = std::chrono::steady_clock::now();
    const auto giveUp = lastChange + 30s;
    while (std::chrono::steady_clock::now() < giveUp &&
           (seen == 0 || std::chrono::steady_clock::now() - lastChange < 1500ms)) {
        std::this_thread::sleep_for(50ms);
        std::lock_guard lock(rx.m);
        if (rx.sentences.size() != seen)
            seen = rx.sentences.size(), lastChange = std::chrono::steady_clock::now();
    }
    // gpsd goes away: the same message as an unplugged receiver.
    gpsfake.end();
    ASSERT_TRUE(rx.waitFor([&] { return !rx.events.empty(); }));
    EXPECT_EQ(rx.events.front(), "gone: The GPS receiver on gpsd://127.0.0.1:" + portText +
                                     " stopped responding.\nCheck the connection and press Start.");

    // gpsd may miss the first sentences while it recognises the receiver; from then on every position
    // sentence of the log arrives as it stands, in order, so the decoder ends up with the same fixes.
    ASSERT_GE(rx.sentences.size(), direct.size() / 2);
    EXPECT_TRUE(std::equal(rx.sentences.begin(), rx.sentences.end(),
                           direct.end() - std::ptrdiff_t(rx.sentences.size())));
    gps::CNmeaDecoder viaGpsd, fromLog;
    for (const auto& s : rx.sentences)
        EXPECT_TRUE(gps::intakeSentence(viaGpsd, s)) << s;
    for (const auto& s : direct)
        gps::intakeSentence(fromLog, s);
    EXPECT_EQ(std::pair(viaGpsd.Latitude, viaGpsd.Longitude), std::pair(fromLog.Latitude, fromLog.Longitude));
    const std::string logged = rx.logText();
    EXPECT_EQ(logged.find('{'), std::string::npos); // none of gpsd's JSON in the NMEA log
}

// A serial receiver with a stable by-id name disappears; it comes back as another terminal behind the same
// link, and reading resumes there with the line set up as before.
TEST(HotPlugTest, SerialReceiverComesBackUnderItsStableName)
{
    test::ScratchDir dir;
    const fs::path byId = dir.file("by-id");
    fs::create_directory(byId);
    const fs::path link = byId / "usb-u-blox_GNSS_receiver-if00";
    auto first = std::make_unique<test::Pty>();
    ASSERT_FALSE(first->path.empty());
    fs::create_symlink(first->path, link);
    EXPECT_EQ(SourcePort::stableName(byId, first->path), link.string());

    Receiver rx(byId);
    rx.gps.portOverride = first->path;
    rx.gps.reconnectOverride = true;
    rx.gps.StartGps();
    ASSERT_TRUE(rx.gps.reader().running());
    ASSERT_TRUE(first->send(kRmc + "\r\n"));
    ASSERT_TRUE(rx.waitFor([&] { return rx.sentences.size() == 1; }));

    const std::string oldPath = first->path;
    first.reset(); // unplugged
    ASSERT_TRUE(rx.waitFor([&] { return rx.events.size() == 1; }));
    std::this_thread::sleep_for(300ms);
    test::Pty second;
    fs::remove(link);
    fs::create_symlink(second.path, link);
    ASSERT_TRUE(rx.waitFor([&] { return rx.events.size() == 2; }, 2s));
    ASSERT_TRUE(second.send(kGga + "\r\n"));
    ASSERT_TRUE(rx.waitFor([&] { return rx.sentences.size() == 2; }));
    EXPECT_EQ(rx.logText(), kRmc + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(rx.events.back(), "GPS on " + oldPath + " is back: reading resumed");
}

} // namespace
} // namespace varno::platform
