// Log replay: which lines are handed over, pacing, the Esc question, and the UI-thread hand-off.
#include <gtest/gtest.h>

#include <deque>

#include "core/base/ScratchFiles.h"
#include "gps/LogReplay.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using namespace varno::gps;

namespace {

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
    int cameraRuns = 0;
    std::vector<std::chrono::milliseconds> ticks;
    int started = 0;

    void write(const std::string& bytes) { test::writeBytes(file, bytes); }

    LogReplay::Callbacks direct()
    {
        LogReplay::Callbacks c;
        c.repaint = [this] { repainted.push_back(*mailbox.take()); };
        c.runCameraLogic = [this] { ++cameraRuns; };
        c.waitTick = [this](std::chrono::milliseconds d) { ticks.push_back(d); };
        c.replayStarted = [this] { ++started; };
        return c;
    }
    // The same, pressing Esc on `escaping` while the first line is shown.
    LogReplay* escaping = nullptr;
    LogReplay::Callbacks escapeOnFirstLine()
    {
        LogReplay::Callbacks c = direct();
        c.repaint = [this] {
            repainted.push_back(*mailbox.take());
            if (repainted.size() == 1)
                escaping->escape();
        };
        return c;
    }
    // Stands in for the UI thread's event queue: posted functions run only when pumped.
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> queued;
    void post(std::function<void()> f)
    {
        std::lock_guard l(m);
        queued.push_back(std::move(f));
        cv.notify_all();
    }
    // Runs one posted function; false when none came within a while.
    bool pumpOne()
    {
        std::unique_lock l(m);
        if (!cv.wait_for(l, std::chrono::seconds(10), [&] { return !queued.empty(); }))
            return false;
        auto f = std::move(queued.front());
        queued.pop_front();
        l.unlock();
        f();
        return true;
    }
    void runAllQueued()
    {
        std::lock_guard l(m);
        for (auto& f : queued)
            f();
    }
};

} // namespace

TEST_F(ReplayFixture, HandsOverEveryLineLongerThanTwoCharacters)
{
    write("$GPGGA,1*00\r\n\r\nAB\r\n$GPGSV,2\r\n" + std::string(120, 'X') + "\r\nabc\n\n\n" +
          std::string(298, 'a') + "bcd\r\nlast");
    LogReplay replay(mailbox, prompt, direct());
    ASSERT_TRUE(replay.start(file, 0)); // a delay below one becomes one millisecond
    replay.join();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ticks, std::vector<std::chrono::milliseconds>(7, std::chrono::milliseconds(1)));
    // The empty lines and "AB" are passed over and not counted; every sentence
    // type goes through; the slot keeps 99 characters of a long line; a line
    // longer than 298 arrives in pieces, the rest "bcd" as a line of its own.
    EXPECT_EQ(repainted, (std::vector<std::string>{"$GPGGA,1*00", "$GPGSV,2", std::string(99, 'X'), "abc",
                                                   std::string(99, 'a'), "bcd", "last"}));
    EXPECT_EQ(cameraRuns, 7);
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kNotice, completeText(7)}));
    EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(prompt.shown[0].title, "Replay log");
}

TEST(ReplayDelay, TextBelowOneBecomesOneMillisecond)
{
    for (const auto& [text, ms] : {std::pair{"0", 1}, std::pair{"-5", 1}, std::pair{"250ms", 250}})
        EXPECT_EQ(LogReplay::delayFromText(text), ms) << text;
}

TEST_F(ReplayFixture, EscAnsweredNoGoesOnAndYesStops)
{
    write("$GP1\r\n$GP2\r\n$GP3\r\n");
    for (const auto& [answer, sent] : {std::pair{PromptAnswer::No, 3}, std::pair{PromptAnswer::Yes, 1}}) {
        SCOPED_TRACE(sent);
        repainted.clear();
        prompt.shown.clear();
        LogReplay replay(mailbox, prompt, escapeOnFirstLine());
        escaping = &replay;
        prompt.script({PromptAnswer::Ok, answer});
        replay.start(file, 1);
        replay.join();
        EXPECT_EQ(replay.linesSent(), sent);
        std::vector<std::string> texts{kNotice, "Stop replay ?"};
        if (answer == PromptAnswer::No)
            texts.push_back(completeText(3));
        EXPECT_EQ(prompt.texts(), texts);
        EXPECT_EQ(prompt.shown[1].buttons, PromptButtons::YesNo);
    }
}

TEST_F(ReplayFixture, CancelledNoticeMissingFileAndEmptyName)
{
    write("$GP1\r\n");
    LogReplay replay(mailbox, prompt, direct());
    prompt.script({PromptAnswer::Cancel});
    replay.start(file, 1);
    replay.join();
    EXPECT_TRUE(repainted.empty());

    // A folder is no log, though Linux opens one for reading: not "Replay complete ... 0".
    for (const std::string& bad : {file + ".none", dir.path().string()}) {
        prompt.shown.clear();
        replay.start(bad, 1);
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
    cb.postToUi = [&](std::function<void()> f) { post(std::move(f)); };
    cb.repaint = [&] {
        allOnUi = allOnUi && std::this_thread::get_id() == uiThread;
        repainted.push_back(*mailbox.take());
    };
    {
        LogReplay replay(mailbox, prompt, cb);
        replay.start(file, 1);
        ASSERT_TRUE(pumpOne()); // the notice
        ASSERT_TRUE(pumpOne()); // repaint of line 1
        ASSERT_TRUE(pumpOne()); // camera logic of line 1
        replay.cancel();        // the worker now waits for the UI thread; the owner ends it from there
    }
    runAllQueued(); // a call the worker queued before the cancel never runs
    EXPECT_TRUE(allOnUi);
    EXPECT_EQ(repainted, std::vector<std::string>{"$GP1"});
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{kNotice});
}

TEST_F(ReplayFixture, CommandLineStartLeavesOutNoticeAndReportButStillAsksOnEsc)
{
    write("$GP1\r\n$GP2\r\n");
    auto cb = escapeOnFirstLine();
    int finished = 0;
    cb.finished = [&] { ++finished; };
    LogReplay replay(mailbox, prompt, cb);
    escaping = &replay;
    prompt.script({PromptAnswer::No});
    ASSERT_TRUE(replay.start(file, 1, {.showNotice = false, .reportEnd = false}));
    replay.join();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Stop replay ?"});
    EXPECT_EQ(finished, 1);

    // A cancelled replay does not report that it finished by itself.
    cb.postToUi = [&](std::function<void()> f) { post(std::move(f)); };
    finished = 0;
    LogReplay queuedReplay(mailbox, prompt, cb);
    escaping = &queuedReplay;
    queuedReplay.start(file, 1);
    ASSERT_TRUE(pumpOne()); // the notice
    queuedReplay.cancel();
    runAllQueued();
    EXPECT_EQ(finished, 0);
}
