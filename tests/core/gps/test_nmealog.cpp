// The NMEA log file: line ends, failures, the automatic log and its name, sharing with the reader.
#include <atomic>
#include <clocale>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "gps/NmeaLog.h"
#include "support/RecordingPrompt.h"

namespace varno::gps {
namespace {

namespace fs = std::filesystem;
using test::readBytes;

struct NmeaLogTest : ::testing::Test {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.path();
};

TEST_F(NmeaLogTest, LinesEndInCrLfAndAreOnDiskAtOnce)
{
    NmeaLog log;
    log.appendLine("dropped: no log open");
    const fs::path p = dir / "a.txt";
    ASSERT_TRUE(log.open(p.string()));
    log.appendLine("$GPGSV,1");
    log.appendLine("");
    // Visible to another reader before the log is closed.
    EXPECT_EQ(readBytes(p), "$GPGSV,1\r\n\r\n");
    log.close();
    log.appendLine("after close");
    EXPECT_EQ(readBytes(p), "$GPGSV,1\r\n\r\n");
    // A failed write stops logging silently.
    ASSERT_TRUE(log.open("/dev/full"));
    log.appendLine("$GPRMC,does not fit");
    EXPECT_FALSE(log.isOpen());
    log.appendLine("$GPRMC,ignored");
}

TEST_F(NmeaLogTest, OpeningReplacesTheFileAndTheOpenLog)
{
    const fs::path a = dir / "a.txt", b = dir / "b.txt";
    test::writeBytes(a, "old contents\n");
    NmeaLog log;
    ASSERT_TRUE(log.open(a.string()));
    log.appendLine("one");
    ASSERT_TRUE(log.open(b.string()));
    log.appendLine("two");
    EXPECT_FALSE(log.open((dir / "no such folder" / "c.txt").string()));
    EXPECT_FALSE(log.isOpen());
    log.appendLine("three");
    EXPECT_EQ(readBytes(a), "one\r\n");
    EXPECT_EQ(readBytes(b), "two\r\n");
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
    NmeaLog log;
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
    NmeaLog log;
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
