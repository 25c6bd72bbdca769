// The threads that hand sentences to the view. The reader: line assembly, the hand-off filter, the
// one-sentence mailbox, the NMEA log file, Stop and unplugging. The log replay: which lines are
// handed over, pacing, the Esc question, and the hand-off to the UI thread.
#include <atomic>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <set>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "base/InputFile.h"
#include "core/base/ScratchFiles.h"
#include "FakeSerialPort.h"
#include "gps/LogReplay.h"
#include "gps/NmeaLog.h"
#include "gps/SentenceMailbox.h"
#include "gps/SerialReader.h"
#include "support/RecordingPrompt.h"
#include "support/UiQueue.h"

namespace varno::gps {
namespace {

namespace fs = std::filesystem;
using test::readBytes;

const std::string kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
const std::string kGsv = "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";

struct SerialReaderTest : ::testing::Test {
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

TEST_F(SerialReaderTest, OverlongLineIsEmptiedStopWakesAPendingReadARestartEmptiesTheMailboxAndUnplugEnds)
{
    // Of 120 characters that would pass the filter, 100 go as the line grows past 99; 20 come without "$".
    ASSERT_TRUE(reader.start("Com1"));
    port.feed("$GPRMC," + std::string(113, '1') + "\r\n");
    port.waitDrained();
    EXPECT_FALSE(mailbox.take());
    EXPECT_EQ(reader.stats().overlong, 1u);
    // Exactly 99 characters still make a line.
    const std::string ninetyNine = "$GPGGA," + std::string(92, '2');
    port.feed(ninetyNine + "\r");
    port.waitDrained();
    EXPECT_EQ(mailbox.snapshot().sentence, ninetyNine);
    // The fake read waits 30 s unless woken: Stop must wake it.
    reader.stop();
    EXPECT_FALSE(reader.running());
    ASSERT_TRUE(reader.start("Com1"));
    EXPECT_EQ(mailbox.snapshot().sentence, "");
    EXPECT_FALSE(mailbox.snapshot().pending);
    EXPECT_EQ(logText(), std::string(20, '1') + "\r\n" + ninetyNine + "\r\n");
    port.close();
    EXPECT_FALSE(reader.start("Com1")); // not without an open port

    // An unplugged device ends the reader with one message.
    ASSERT_TRUE(port.open("Com1"));
    ASSERT_TRUE(reader.start("/dev/ttyUSB0"));
    port.feed(kRmc + "\r\n");
    port.unplug();
    while (reader.running()) // no reading after the device went away
        std::this_thread::yield();
    reader.stop();
    EXPECT_EQ(goneMessages, std::vector<std::string>{"The GPS receiver on /dev/ttyUSB0 stopped "
                                                     "responding.\nCheck the connection and press Start."});
    EXPECT_EQ(mailbox.take(), kRmc); // what came before the unplug still counts
}

// Offer refusing a full slot, the 99-character slot and reset are proved through the reader and replay tests.
TEST(SentenceMailboxTest, ReplaceOverwritesTheStripKeepsShowingASentenceAndThreadsNeverTearOne)
{
    SentenceMailbox box;
    box.offer("$GPGGA,1");
    box.replace("$GPRMC,2");
    box.clearPending();
    EXPECT_EQ(box.snapshot().sentence, "$GPRMC,2");
    EXPECT_FALSE(box.snapshot().pending);
    EXPECT_FALSE(box.take());
    // Two producers and a consumer never tear a sentence.
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

// The reason as the system words it: "No space left on device" in English, translated under de_DE.
std::string noSpace()
{
    return std::generic_category().message(ENOSPC);
}

struct NmeaLogTest : ::testing::Test {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    NmeaLog log;
};

// Lines end in CR LF and are on disk at once; opening replaces the file and the open log; failures stop
// logging.
TEST_F(NmeaLogTest, LinesEndInCrLfAreOnDiskAtOnceOpeningReplacesTheFileAndTheAutomaticLogToggles)
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
    // A failed write stops logging and says so once.
    ASSERT_TRUE(log.open("/dev/full"));
    EXPECT_EQ(log.appendLine("$GPRMC,does not fit"),
              "The NMEA log /dev/full could not be written: " + noSpace() + ". Logging has stopped.");
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(log.appendLine("$GPRMC,ignored"), std::nullopt);
    // The automatic log opens under the data root, then closes. The names are English whatever the
    // locale (the whole binary runs again under de_DE).
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
    EXPECT_EQ(automaticLogName({2006, 6, 5, 1, 9, 7, 0}),
              "C:\\VARNO\\Log\\MNEA Log Monday 05 of June 2006 0907.txt");
    EXPECT_EQ(proposedLogName({2024, 12, 31, 2, 23, 59, 0}), "MNEA Log Tuesday 31 of December 2024");
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

// A disk that fills up while the reader runs: the log is cut back to its last complete line, the user
// is told once, and sentences keep coming.
TEST(NmeaLogFailureTest, AFullDiskCutsTheLogToItsLastLineSaysSoOnceAndTheReaderGoesOn)
{
    test::ScratchDir dir;
    const std::string path = dir.file("full.txt");
    std::atomic<int> writes{0};
    // The third write gets half its bytes onto the disk, then the disk is full.
    NmeaLog log([&writes](std::FILE* f, std::string_view bytes) {
        if (++writes < 3) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            return std::fflush(f) == 0 ? 0 : EIO;
        }
        std::fwrite(bytes.data(), 1, bytes.size() / 2, f);
        std::fflush(f);
        return ENOSPC;
    });
    ASSERT_TRUE(log.open(path));
    test::FakeSerialPort port;
    ASSERT_TRUE(port.open("Com1"));
    SentenceMailbox mailbox;
    SerialReader reader{port, mailbox, log};
    std::vector<std::string> failures; // read only after the reader thread was joined
    reader.setCallbacks({{}, {}, [&failures](const std::string& m) { failures.push_back(m); }});
    ASSERT_TRUE(reader.start("Com1"));
    port.feed(kGsv + "\r\n" + kGsv + "\r\n" + kRmc + "\r\n");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), kRmc);
    EXPECT_FALSE(log.isOpen());
    port.feed(kGsv + "\r\n" + kRmc + "\r\n");
    port.waitDrained();
    EXPECT_EQ(mailbox.take(), kRmc); // the GPS goes on without its log
    reader.stop();
    EXPECT_EQ(failures, std::vector<std::string>{"The NMEA log " + path + " could not be written: " +
                                                 noSpace() + ". Logging has stopped."});
    EXPECT_EQ(writes.load(), 3);
    EXPECT_EQ(readBytes(path), kGsv + "\r\n" + kGsv + "\r\n");
}

const std::string kNotice = "The replay may be stopped at any time by\npressing the Esc key.";

std::string completeText(int n)
{
    return "Replay complete.\n\nExit on zero length string\nLines sent " + std::to_string(n);
}

struct ReplayFixture : ::testing::Test {
    test::ScratchDir dir;
    std::string file = dir.file("replay.txt");
    SentenceMailbox mailbox;
    test::RecordingPrompt prompt;
    std::vector<std::string> repainted;
    std::vector<std::chrono::milliseconds> ticks;
    int cameraRuns = 0, started = 0, finished = 0;

    void write(const std::string& bytes) { test::writeBytes(file, bytes); }
    // Callbacks run on the worker; with `escaping` set, Esc is pressed on it while the first line is shown.
    LogReplay* escaping = nullptr;
    LogReplay::Callbacks direct()
    {
        LogReplay::Callbacks c;
        c.repaint = [this] {
            repainted.push_back(*mailbox.take());
            if (escaping && repainted.size() == 1)
                escaping->escape();
        };
        c.runCameraLogic = [this] { ++cameraRuns; };
        c.waitTick = [this](std::chrono::milliseconds d) { ticks.push_back(d); };
        c.replayStarted = [this] { ++started; };
        c.finished = [this] { ++finished; };
        return c;
    }
    test::UiQueue ui; // stands in for the UI thread's event queue
};

TEST_F(ReplayFixture, HandsOverEveryLineLongerThanTwoCharactersAtLeastOneMillisecondApart)
{
    write("$GPGGA,1*00\r\n\r\nAB\r\n$GPGSV,2\r\n" + std::string(120, 'X') + "\r\nabc\n\n\n" +
          std::string(298, 'a') + "bcd\r\nlast");
    LogReplay replay(mailbox, prompt, direct());
    for (const auto& [text, ms] : {std::pair{"0", 1}, std::pair{"-5", 1}, std::pair{"250ms", 250}})
        EXPECT_EQ(LogReplay::delayFromText(text), ms) << text; // a delay below one becomes one millisecond
    ASSERT_TRUE(replay.start(file, 0));
    replay.join();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ticks, std::vector<std::chrono::milliseconds>(7, std::chrono::milliseconds(1)));
    // The empty lines and "AB" are passed over and not counted; every sentence type goes through; the slot
    // keeps 99 characters of a long line; one longer than 298 arrives in pieces, the rest "bcd" on its own.
    EXPECT_EQ(repainted, (std::vector<std::string>{"$GPGGA,1*00", "$GPGSV,2", std::string(99, 'X'), "abc",
                                                   std::string(99, 'a'), "bcd", "last"}));
    EXPECT_EQ(cameraRuns, 7);
    // The progress counts lines of the file, the pieces of a long one as one.
    EXPECT_EQ(std::tuple(replay.currentLine(), replay.linesTotal()), std::tuple(10, 10));
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kNotice, completeText(7)}));
    EXPECT_EQ(std::tie(prompt.shown[0].buttons, prompt.shown[0].title),
              std::tuple(PromptButtons::OkCancel, "Replay log"));
}

// An old Mac log (CR alone) replays line by line as its CR LF twin does,
// and counts its lines the same.
TEST_F(ReplayFixture, CrOnlyLogReplaysAsItsCrLfTwin)
{
    write("$GPGGA,1*00\r\rAB\r$GPGSV,2\rabc\rlast");
    LogReplay replay(mailbox, prompt, direct());
    ASSERT_TRUE(replay.start(file, 0));
    replay.join();
    EXPECT_EQ(repainted, (std::vector<std::string>{"$GPGGA,1*00", "$GPGSV,2", "abc", "last"}));
    EXPECT_EQ(std::tuple(replay.currentLine(), replay.linesTotal()), std::tuple(6, 6));
}

// Cancel at the notice sends nothing; Esc asks, and Yes stops after the line shown (No goes on: the
// command-line start below); a missing file, a folder and an empty name fail.
TEST_F(ReplayFixture, CancelledNoticeEscAnsweredYesMissingFileAndEmptyName)
{
    write("$GP1\r\n$GP2\r\n$GP3\r\n");
    LogReplay replay(mailbox, prompt, direct());
    escaping = &replay;
    prompt.script({PromptAnswer::Cancel, PromptAnswer::Ok, PromptAnswer::Yes});
    replay.start(file, 1);
    replay.join();
    EXPECT_TRUE(repainted.empty());
    replay.start(file, 1);
    replay.join();
    EXPECT_EQ(replay.linesSent(), 1);
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kNotice, kNotice, "Stop replay ?"}));
    EXPECT_EQ(prompt.shown[2].buttons, PromptButtons::YesNo);
    // A folder is no log, though Linux opens one for reading: not "Replay complete ... 0".
    for (const std::string& bad : {file + ".none", dir.path().string() + ": a folder"}) {
        prompt.shown.clear();
        replay.start(bad.substr(0, bad.find(':')), 1);
        replay.join();
        EXPECT_EQ(prompt.texts(),
                  (std::vector<std::string>{kNotice, "Error can't open the log file\n" + bad}));
    }
    EXPECT_FALSE(replay.start("", 1));
}

TEST_F(ReplayFixture, ThreadsRepaintAndPromptsRunOnTheUiThreadAndCancelReleasesTheWorker)
{
    write("$GP1\r\n$GP2\r\n$GP3\r\n");
    const auto uiThread = std::this_thread::get_id();
    bool allOnUi = true;
    auto cb = direct();
    cb.postToUi = ui.post();
    cb.repaint = [&] {
        allOnUi = allOnUi && std::this_thread::get_id() == uiThread;
        repainted.push_back(*mailbox.take());
    };
    {
        LogReplay replay(mailbox, prompt, cb);
        replay.start(file, 1);
        ASSERT_TRUE(ui.runOne()); // the notice
        ASSERT_TRUE(ui.runOne()); // repaint of line 1
        ASSERT_TRUE(ui.runOne()); // camera logic of line 1
        replay.cancel();          // the worker now waits for the UI thread; the owner ends it from there
    }
    for (auto& f : ui.queued) // the worker has ended: a call it queued before the cancel must not run
        f();
    EXPECT_EQ(finished, 0); // a cancelled replay does not report that it finished by itself
    EXPECT_TRUE(allOnUi);
    EXPECT_EQ(repainted, std::vector<std::string>{"$GP1"});
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{kNotice});
}

// The line count: a last line without its end counts, an empty file has none, and a cancel on the
// way gives no count.
TEST(ReplayLineCount, CountsLinesAndRewinds)
{
    test::ScratchDir dir;
    const std::string path = dir.file("count.txt");
    const std::string big(200000, 'x');
    for (const auto& [bytes, lines] : {std::pair<std::string, int>{"", 0},
                                       {"a", 1},
                                       {"a\r\n", 1},
                                       {"a\r\nb", 2},
                                       {"\n\n\n", 3},
                                       {big + "\n" + big + "\n" + big, 3}}) {
        test::writeBytes(path, bytes);
        const FileHandle f = openForReading(path);
        ASSERT_TRUE(f);
        EXPECT_EQ(LogReplay::countLines(f.get(), [] { return false; }), lines) << bytes.size();
        EXPECT_EQ(std::fgetc(f.get()), bytes.empty() ? EOF : bytes[0]); // rewound
    }
    const FileHandle f = openForReading(path);
    EXPECT_EQ(LogReplay::countLines(f.get(), [] { return true; }), std::nullopt);
}

// Paused, the replay hands nothing over until resumed; Esc still asks while paused.
TEST_F(ReplayFixture, PauseHoldsTheNextLineAndEscStillAsks)
{
    write("$GP1\r\n$GP2\r\n$GP3\r\n");
    auto cb = direct();
    LogReplay* self = nullptr;
    std::atomic<int> shown{0};
    cb.repaint = [&] {
        repainted.push_back(*mailbox.take());
        if (++shown == 1)
            self->setPaused(true);
    };
    LogReplay replay(mailbox, prompt, cb);
    self = &replay;
    prompt.script({PromptAnswer::No});
    ASSERT_TRUE(replay.start(file, 1, {.showNotice = false, .reportEnd = false}));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(shown.load(), 1);
    EXPECT_TRUE(replay.running());
    replay.escape(); // asked while paused; No goes on being paused
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(shown.load(), 1);
    replay.setPaused(false);
    replay.join();
    EXPECT_EQ(repainted, (std::vector<std::string>{"$GP1", "$GP2", "$GP3"}));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Stop replay ?"});
}

TEST_F(ReplayFixture, CommandLineStartLeavesOutNoticeAndReportButStillAsksOnEsc)
{
    write("$GP1\r\n$GP2\r\n");
    LogReplay replay(mailbox, prompt, direct());
    escaping = &replay;
    prompt.script({PromptAnswer::No});
    ASSERT_TRUE(replay.start(file, 1, {.showNotice = false, .reportEnd = false}));
    replay.join();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Stop replay ?"});
    EXPECT_EQ(finished, 1);
}

} // namespace
} // namespace varno::gps
