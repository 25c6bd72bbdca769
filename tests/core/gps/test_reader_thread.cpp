// The reader thread: line assembly, logging, the hand-off filter and the mailbox, Stop, unplugging.
#include <atomic>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "FakeSerialPort.h"
#include "gps/SerialReader.h"

namespace varno::gps {
namespace {

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
const std::string kGsv = "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";

class SerialReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(log.open(logPath));
        ASSERT_TRUE(port.open("Com1"));
        reader.setCallbacks({[this] { ++notified; },
                             [this](const std::string& m) {
                                 std::lock_guard lock(goneMutex);
                                 goneMessages.push_back(m);
                             }});
    }
    void TearDown() override { reader.stop(); }
    std::string logText()
    {
        reader.stop();
        log.close();
        return test::readBytes(logPath);
    }

    test::ScratchDir dir;
    std::string logPath = dir.file("reader.txt");
    test::FakeSerialPort port;
    SentenceMailbox mailbox;
    NmeaLog log;
    SerialReader reader{port, mailbox, log};
    std::atomic<int> notified{0};
    std::mutex goneMutex;
    std::vector<std::string> goneMessages;
};

TEST_F(SerialReaderTest, LogsEveryLineAndHandsOverOnlyPositionSentences)
{
    ASSERT_TRUE(reader.start("Com1"));
    // Split mid-sentence and mid-line-end: assembly must not care about chunks.
    port.feed(kGsv + "\r\n" + kRmc.substr(0, 20));
    port.feed(kRmc.substr(20) + "\r");
    port.feed("\n\r"); // LF ignored; a CR straight after a CR logs an empty line
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), kRmc);
    EXPECT_EQ(notified.load(), 1);
    EXPECT_EQ(logText(), kGsv + "\r\n" + kRmc + "\r\n\r\n");
}

TEST_F(SerialReaderTest, SecondSentenceBeforeTheViewTookTheFirstIsOnlyLogged)
{
    const std::string second = "$GPGGA,122518,5123.0366,N,00119.1139,W,1,08,0.9,100.0,M,,,,*00";
    ASSERT_TRUE(reader.start("Com1"));
    port.feed(kRmc + "\r\n" + second + "\r\n");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), kRmc);
    EXPECT_FALSE(mailbox.take());
    EXPECT_EQ(notified.load(), 1);
    // Once consumed, the next one goes through.
    port.feed(second + "\r\n");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), second);
    EXPECT_EQ(logText(), kRmc + "\r\n" + second + "\r\n" + second + "\r\n");
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
    std::lock_guard lock(goneMutex);
    EXPECT_EQ(goneMessages, std::vector<std::string>{"The GPS receiver on /dev/ttyUSB0 stopped "
                                                     "responding.\nCheck the connection and press Start."});
    EXPECT_EQ(mailbox.take(), kRmc); // what came before the unplug still counts
}

} // namespace
} // namespace varno::gps
