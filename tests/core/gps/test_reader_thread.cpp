// The reader thread and what it feeds: line assembly, the hand-off filter, the one-sentence mailbox
// shared with the view, the NMEA log file, Stop and unplugging.
#include <atomic>
#include <clocale>
#include <filesystem>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "FakeSerialPort.h"
#include "gps/NmeaLog.h"
#include "gps/SentenceMailbox.h"
#include "gps/SerialReader.h"
#include "support/RecordingPrompt.h"

namespace varno::gps {
namespace {

namespace fs = std::filesystem;
using test::readBytes;

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
const std::string kGsv = "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";

class SerialReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(log.open(logPath));
        ASSERT_TRUE(port.open("Com1"));
        // The gone messages are read only after the reader thread was joined.
        reader.setCallbacks(
            {[this] { ++notified; }, [this](const std::string& m) { goneMessages.push_back(m); }});
    }
    void TearDown() override { reader.stop(); }
    std::string logText()
    {
        reader.stop();
        log.close();
        return readBytes(logPath);
    }

    test::ScratchDir dir;
    std::string logPath = dir.file("reader.txt");
    test::FakeSerialPort port;
    SentenceMailbox mailbox;
    NmeaLog log;
    SerialReader reader{port, mailbox, log};
    std::atomic<int> notified{0};
    std::vector<std::string> goneMessages;
};

// Every line is logged; only position sentences are handed over, and only while the view took the last one.
TEST_F(SerialReaderTest, LogsEveryLineAndHandsOverOnlyPositionSentencesOneAtATime)
{
    const std::string second = "$GPGGA,122518,5123.0366,N,00119.1139,W,1,08,0.9,100.0,M,,,,*00";
    ASSERT_TRUE(reader.start("Com1"));
    // Split mid-sentence and mid-line-end: assembly must not care about chunks.
    port.feed(kGsv + "\r\n" + kRmc.substr(0, 20));
    port.feed(kRmc.substr(20) + "\r");
    port.feed("\n\r" + second + "\r\n"); // LF ignored; a CR straight after a CR logs an empty line
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), kRmc);
    EXPECT_FALSE(mailbox.take()); // the second came before the view took the first
    EXPECT_EQ(notified.load(), 1);
    port.feed(second + "\r\n");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), second);
    EXPECT_EQ(logText(), kGsv + "\r\n" + kRmc + "\r\n\r\n" + second + "\r\n" + second + "\r\n");
}

TEST_F(SerialReaderTest, OverlongLineIsEmptiedAndOnlyItsTailIsLogged)
{
    // 120 characters that would pass the filter: the first 100 are lost when
    // the line grows past 99, the last 20 arrive as a fragment without "$".
    std::string longLine = "$GPRMC," + std::string(113, '1');
    ASSERT_EQ(longLine.size(), 120u);
    ASSERT_TRUE(reader.start("Com1"));
    port.feed(longLine + "\r\n");
    port.waitDrained();
    EXPECT_FALSE(mailbox.take());
    EXPECT_EQ(reader.stats().overlong, 1u);
    // Exactly 99 characters still make a line.
    const std::string ninetyNine = "$GPGGA," + std::string(92, '2');
    port.feed(ninetyNine + "\r");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), ninetyNine);
    EXPECT_EQ(logText(), std::string(20, '1') + "\r\n" + ninetyNine + "\r\n");
}

TEST_F(SerialReaderTest, StopWakesAPendingReadRestartEmptiesTheMailboxAndAClosedPortCannotStart)
{
    ASSERT_TRUE(reader.start("Com1"));
    port.feed(kRmc + "\r");
    port.waitDrained();
    // The fake read waits 30 s unless woken: Stop must wake it.
    reader.stop();
    EXPECT_FALSE(reader.running());
    ASSERT_TRUE(reader.start("Com1"));
    EXPECT_EQ(mailbox.snapshot().sentence, "");
    EXPECT_FALSE(mailbox.snapshot().pending);
    reader.stop();
    port.close();
    EXPECT_FALSE(reader.start("Com1")); // not without an open port
}

TEST_F(SerialReaderTest, UnpluggedDeviceEndsTheReaderWithOneMessage)
{
    ASSERT_TRUE(reader.start("/dev/ttyUSB0"));
    port.feed(kRmc + "\r\n");
    port.unplug();
    while (reader.running())
        std::this_thread::yield();
    const int reads = port.readCalls();
    reader.stop();
    EXPECT_EQ(port.readCalls(), reads); // no reading after the device went away
    EXPECT_EQ(goneMessages, std::vector<std::string>{"The GPS receiver on /dev/ttyUSB0 stopped "
                                                     "responding.\nCheck the connection and press Start."});
    EXPECT_EQ(mailbox.take(), kRmc); // what came before the unplug still counts
}

// Offer refusing a full slot, the 99-character slot and reset are proved through the reader and replay tests.
TEST(SentenceMailboxTest, ReplaceOverwritesAndTheStripKeepsShowingASentenceNoLongerPending)
{
    SentenceMailbox box;
    box.offer("$GPGGA,1");
    box.replace("$GPRMC,2");
    box.clearPending();
    EXPECT_EQ(box.snapshot().sentence, "$GPRMC,2");
    EXPECT_FALSE(box.snapshot().pending);
    EXPECT_FALSE(box.take());
}

TEST(SentenceMailboxTest, TwoProducersAndAConsumerNeverTearASentence)
{
    SentenceMailbox box;
    std::atomic<bool> done{false};
    auto producer = [&](char c, bool replay) {
        for (int i = 0; i < 20000; ++i) {
            const std::string s(1 + i % 90, c);
            if (replay)
                box.replace(s);
            else
                box.offer(s);
        }
    };
    std::set<std::string> bad;
    std::thread consumer([&] {
        while (!done.load()) {
            if (auto s = box.take()) {
                if (s->find_first_not_of(s->front()) != std::string::npos)
                    bad.insert(*s);
            }
        }
    });
    std::thread live(producer, 'a', false), replay(producer, 'b', true);
    live.join();
    replay.join();
    done = true;
    consumer.join();
    EXPECT_TRUE(bad.empty());
}

struct NmeaLogTest : ::testing::Test {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    NmeaLog log;
};

// Lines end in CR LF and are on disk at once; opening replaces the file and the open log; failures stop
// logging.
TEST_F(NmeaLogTest, LinesEndInCrLfAreOnDiskAtOnceAndOpeningReplacesTheFileAndTheLog)
{
    const fs::path a = dir / "a.txt", b = dir / "b.txt";
    test::writeBytes(a, "old contents\n");
    log.appendLine("dropped: no log open");
    ASSERT_TRUE(log.open(a.string()));
    log.appendLine("$GPGSV,1");
    log.appendLine("");
    EXPECT_EQ(readBytes(a), "$GPGSV,1\r\n\r\n"); // visible to another reader before the log is closed
    ASSERT_TRUE(log.open(b.string()));
    log.appendLine("two");
    log.close();
    log.appendLine("after close");
    EXPECT_FALSE(log.open((dir / "no such folder" / "c.txt").string()));
    EXPECT_FALSE(log.isOpen());
    log.appendLine("three");
    EXPECT_EQ(readBytes(a) + readBytes(b), "$GPGSV,1\r\n\r\ntwo\r\n");
    // A failed write stops logging silently.
    ASSERT_TRUE(log.open("/dev/full"));
    log.appendLine("$GPRMC,does not fit");
    EXPECT_FALSE(log.isOpen());
    log.appendLine("$GPRMC,ignored");
}

TEST_F(NmeaLogTest, AutomaticNameIsEnglishWhateverTheLocale)
{
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // may not exist; English either way
    const LocalTime t{2006, 6, 5, 1, 9, 7, 0};
    EXPECT_EQ(automaticLogName(t), "C:\\VARNO\\Log\\MNEA Log Monday 05 of June 2006 0907.txt");
    EXPECT_EQ(proposedLogName({2024, 12, 31, 2, 23, 59, 0}), "MNEA Log Tuesday 31 of December 2024");
    std::setlocale(LC_ALL, "C");
}

TEST_F(NmeaLogTest, AutomaticToggleOpensUnderTheDataRootThenCloses)
{
    FixedClock clock({2006, 6, 5, 1, 14, 23, 0});
    test::RecordingPrompt prompt;
    // No Log folder: the toggle fails with the path, as a user must see it.
    EXPECT_FALSE(log.toggleAutomatic(clock, dir.string(), prompt));
    const std::string expected = (dir / "Log" / "MNEA Log Monday 05 of June 2006 1423.txt").string();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error can't open the NMEA data file\n" + expected});

    fs::create_directories(dir / "Log");
    EXPECT_TRUE(log.toggleAutomatic(clock, dir.string(), prompt));
    EXPECT_EQ(log.path(), expected);
    log.appendLine("$GPGGA");
    EXPECT_FALSE(log.toggleAutomatic(clock, dir.string(), prompt));
    EXPECT_EQ(readBytes(expected), "$GPGGA\r\n");
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(NmeaLogTest, LinesStayWholeWhileTheLogIsReplacedUnderTheWriter)
{
    const std::string line(80, 'x');
    std::atomic<bool> done{false};
    std::thread writer([&] {
        while (!done.load())
            log.appendLine(line);
    });
    std::vector<fs::path> files;
    for (int i = 0; i < 20; ++i) {
        files.push_back(dir / ("log" + std::to_string(i) + ".txt"));
        ASSERT_TRUE(log.open(files.back().string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (i % 3 == 0)
            log.close();
    }
    done = true;
    writer.join();
    log.close();
    for (const auto& f : files) {
        const std::string text = readBytes(f);
        EXPECT_EQ(text.size() % (line.size() + 2), 0u) << f;
        for (std::size_t pos = 0; pos < text.size(); pos += line.size() + 2)
            ASSERT_EQ(text.compare(pos, line.size() + 2, line + "\r\n"), 0) << f;
    }
}

} // namespace
} // namespace varno::gps
