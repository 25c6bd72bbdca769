// The termios port and the reader over a pseudo-terminal playing the GPS receiver.
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

#include <gtest/gtest.h>

#include "CSio.h"
#include "CSioBaud.h"
#include "SerialPortList.h"
#include "TestPty.h"
#include "gps/GpsControl.h"
#include "gps/SerialReader.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;
using gps::LineSettings;
using gps::Parity;
using gps::StopBits;
using test::Pty;

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

// Every setting as termios flags, and back. 1.5 stop bits has no termios form and runs as 2 (CSTOPB).
// A pseudo-terminal keeps the speed, PARODD, CMSPAR and CSTOPB it is given, but the kernel forces CS8
// and clears PARENB on it, so data bits and parity on/off are only seen in the composed flags.
TEST(SerialPortTest, LineSettingsAsFlagsAndOnThePseudoTerminal)
{
    const struct {
        LineSettings set;
        tcflag_t size, flags;
    } cases[] = {
        {{4800, 8, Parity::None, StopBits::One}, CS8, 0},
        {{9600, 7, Parity::Even, StopBits::One}, CS7, PARENB},
        {{19200, 8, Parity::Odd, StopBits::Two}, CS8, PARENB | PARODD | CSTOPB},
        {{4801, 8, Parity::Mark, StopBits::One}, CS8, PARENB | PARODD | CMSPAR},
        {{115200, 6, Parity::Space, StopBits::One}, CS6, PARENB | CMSPAR},
        {{1200, 5, Parity::None, StopBits::OneAndHalf}, CS5, CSTOPB},
    };
    Pty pty;
    CSio port;
    ASSERT_TRUE(port.open(pty.path));
    for (const auto& c : cases) {
        LineSettings read = c.set;
        if (read.stopBits == StopBits::OneAndHalf)
            read.stopBits = StopBits::Two;
        termios tio{};
        tio.c_cflag = CSTOPB | PARENB | CRTSCTS | CS7; // leftovers must go
        tio.c_iflag = ICRNL | IXON | INPCK;
        tio.c_lflag = ICANON | ECHO;
        CSio::composeLineFlags(tio, c.set);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.size) << c.set.baud;
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB), c.flags) << c.set.baud;
        EXPECT_FALSE(tio.c_cflag & CRTSCTS);
        EXPECT_EQ(tio.c_iflag, tcflag_t(INPCK)); // parity checking is left as it was
        EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
        LineSettings back = CSio::lineFlagsToSettings(tio);
        back.baud = c.set.baud;
        EXPECT_EQ(back, read);

        ASSERT_TRUE(port.applyState(c.set)) << c.set.baud;
        ASSERT_EQ(tcgetattr(port.fd(), &tio), 0);
        EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR | CSTOPB), c.flags & (PARODD | CMSPAR | CSTOPB))
            << c.set.baud;
        EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL | IGNCR));
        EXPECT_EQ(anyBaudRate(port.fd()), c.set.baud);
        const LineSettings state = port.state().value_or(LineSettings{});
        EXPECT_EQ(std::pair(state.baud, state.stopBits), std::pair(c.set.baud, read.stopBits));
    }
    EXPECT_FALSE(port.applyState({0, 8, Parity::None, StopBits::One})); // 0 would hang up the line
}

TEST(SerialPortTest, OpenRefusesWhatIsNoFreeTerminal)
{
    // Each refusal keeps its reason in the system's words, with a hint for the usual causes.
    const std::string absent = "No such file or directory \u2014 the device is not plugged in";
    CSio port;
    test::ScratchDir scratch;
    test::writeBytes(scratch.file("not_a_tty.txt"), "x");
    test::writeBytes(scratch.file("locked"), "x");
    std::filesystem::permissions(scratch.file("locked"), std::filesystem::perms::none);
    const bool root = ::geteuid() == 0; // root opens it all the same (then it is no tty)
    for (const auto& [name, reason] :
         {std::pair{std::string("/dev/no-such-gps"), absent}, std::pair{std::string("Com250"), absent},
          std::pair{std::string("ttyUSB0"), absent}, // no name of a port at all
          std::pair{scratch.file("not_a_tty.txt"), std::string("Not a serial device")},
          std::pair{scratch.file("locked"),
                    root ? std::string("Not a serial device")
                         : "Permission denied \u2014 is your user in the dialout group?"}}) {
        EXPECT_FALSE(port.open(name));
        EXPECT_EQ(port.openFailureReason(), reason) << name;
    }
    EXPECT_FALSE(port.isOpen());
    // Shared with nobody: a second open of the same device fails, and says why.
    Pty pty;
    ASSERT_TRUE(port.open(pty.path));
    EXPECT_EQ(port.openFailureReason(), "");
    CSio other;
    EXPECT_FALSE(other.open(pty.path));
    EXPECT_EQ(other.openFailureReason(), "Device or resource busy \u2014 another program is using the port");
    EXPECT_TRUE(port.close());
    EXPECT_TRUE(other.open(pty.path));
    EXPECT_FALSE(port.close());
}

class SerialReaderPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(log.open(scratch.file("log.txt")));
        ASSERT_TRUE(port.open(pty.path));
        ASSERT_TRUE(port.applyState({4800, 8, Parity::None, StopBits::One}));
        ASSERT_TRUE(port.setReadTimeout(gps::GpsControl::kReadTimeout));
        pty.closeSlave(); // only the program holds the device now
        reader.setCallbacks({{}, [this](const std::string& m) {
                                 std::lock_guard lock(mutex);
                                 gone.push_back(m);
                             }});
        ASSERT_TRUE(reader.start(pty.path));
    }
    void TearDown() override { reader.stop(); }
    test::ScratchDir scratch;
    Pty pty;
    CSio port;
    gps::SentenceMailbox mailbox;
    gps::NmeaLog log;
    gps::SerialReader reader{port, mailbox, log};
    std::mutex mutex;
    std::vector<std::string> gone;
};

TEST_F(SerialReaderPtyTest, StopWhileNoDataArrivesEndsTheReader)
{
    const auto t0 = std::chrono::steady_clock::now();
    reader.stop();
    // Liveness bound, generous: one read time-out is 2 s.
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2500));
    EXPECT_FALSE(reader.running());
    EXPECT_TRUE(port.close());
}

TEST_F(SerialReaderPtyTest, UnplugEndsTheReaderWithAMessageAndNoSpinning)
{
    auto cpuSeconds = [] { return double(std::clock()) / CLOCKS_PER_SEC; }; // all threads of the process
    ASSERT_TRUE(pty.send(kRmc + "\r\n"));
    while (reader.stats().lines < 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    pty.closeMaster();
    while (reader.running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double before = cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(cpuSeconds() - before, 0.2);
    std::lock_guard lock(mutex);
    EXPECT_EQ(gone, std::vector<std::string>{"The GPS receiver on " + pty.path +
                                             " stopped responding.\nCheck the connection and press Start."});
    EXPECT_EQ(mailbox.take(), kRmc);
}

TEST(NmeaLogKillTest, KilledWriterLeavesEveryLineButTheOneBeingWritten)
{
    test::ScratchDir scratch;
    const std::string p = scratch.file("killed_log.txt");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        gps::NmeaLog log;
        if (!log.open(p))
            _exit(1);
        for (int i = 0;; ++i) {
            log.appendLine("$GPGGA," + std::to_string(i));
            if (i == 499)
                (void)!::write(ready[1], "r", 1);
        }
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    const std::string text = test::readBytes(p);
    // Every complete line is in order; only the last may be cut short.
    std::size_t pos = 0;
    int n = 0;
    for (std::string line;
         text.compare(pos, (line = "$GPGGA," + std::to_string(n) + "\r\n").size(), line) == 0; ++n)
        pos += line.size();
    EXPECT_GE(n, 500);
    const std::string rest = text.substr(pos);
    EXPECT_EQ(rest, ("$GPGGA," + std::to_string(n) + "\r\n").substr(0, rest.size()));
}

TEST(SerialPortListTest, StableNamesFirstThenUsbAcmAndUartsInNumberOrder)
{
    test::ScratchDir scratch;
    const fs::path dev = scratch.path() / "fake_dev";
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* f : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "tty0", "ttyUSB", "null",
                          "serial/by-id/usb-u-blox_GNSS-if00"})
        test::writeBytes((dev / f).string(), "");
    const std::string d = dev.string();
    // Plain files have no UART behind them, so no ttyS entry is listed.
    EXPECT_EQ(SerialPortList(d).presentPorts(),
              (std::vector<std::string>{d + "/serial/by-id/usb-u-blox_GNSS-if00", d + "/ttyUSB2",
                                        d + "/ttyUSB10", d + "/ttyACM0"}));
    fs::remove_all(dev);
    EXPECT_TRUE(SerialPortList(d).presentPorts().empty());
}

} // namespace
} // namespace varno::platform
