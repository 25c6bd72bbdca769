// Replaying an NMEA log into the view as if the receiver sent it, on a worker thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "base/Prompt.h"
#include "base/UiBridge.h"
#include "gps/SentenceMailbox.h"

namespace varno::gps {

// A replay asked for on the command line: the request itself is the go-ahead,
// so the start notice can be left out, and a run that quits at the end leaves
// out the report that would wait for OK.
struct ReplayStartOptions {
    bool showNotice = true;
    bool reportEnd = true;
};

// "Replay a log file". start() runs on the UI thread; the replay itself runs
// on a thread owned by this object:
//   - shows "The replay may be stopped at any time by\npressing the Esc key."
//     (OK / Cancel, title "Replay log"); Cancel ends the replay;
//   - reads the log in lines of at most 298 characters; a line of more than 2
//     characters (after up to two trailing CR / LF are removed) goes into the
//     mailbox with replace(), the view repaints, the line is counted, the
//     replay waits for the next tick (one per `delay` ms) and then has the view
//     run the camera logic; shorter lines are passed over;
//   - at the end of the file shows "Replay complete.\n\nExit on zero length
//     string\nLines sent %d";
//   - after escape() asks "Stop replay ?" (Yes / No) before the next line.
//
// Every Prompt call and the repaint and camera-logic callbacks run through the
// UiBridge, i.e. on the UI thread when the GUI gives `postToUi`. The UI thread
// never waits for the worker except in cancel() / the destructor, which first
// release the worker's waits.
class LogReplay {
public:
    struct Callbacks {
        // Queues a function to the UI thread (see UiBridge); empty: call directly.
        UiBridge::Post postToUi;
        // UI thread: take the pending sentence, decode and draw it (an
        // immediate repaint without erasing).
        std::function<void()> repaint;
        // UI thread: UpdateCameraWarnings for the sentence just decoded.
        std::function<void()> runCameraLogic;
        // The wait for the next pacing tick; empty: ticks every `delay` ms of
        // the steady clock. Tests pass one that returns at once.
        std::function<void(std::chrono::milliseconds delay)> waitTick;
        // UI thread, before the worker starts: CameraReloadCount = 58, so the
        // cameras around the replayed positions load soon.
        std::function<void()> replayStarted;
        // UI thread, once a replay has ended by itself (end of file, "Stop
        // replay ?" answered Yes, the notice cancelled, a file that would not
        // open). Not after cancel(): its caller knows.
        std::function<void()> finished;
    };

    using StartOptions = ReplayStartOptions;

    // The replay dialog's initial texts and the note under the delay field.
    static constexpr std::string_view kInitialFileName = "C:\\VARNO\\Log\\";
    static constexpr std::string_view kInitialDelay = "100";
    static constexpr std::string_view kFilter =
        "VARNO replay file (*.csv;*.txt)|*.csv; *.txt|All files (*.*)|*.*||";
    // Lines are read with this fgets limit (at most 298 characters).
    static constexpr std::size_t kLineLimit = 299;

    // The lines of an open file (a last line without its line end counts),
    // read through in chunks; the file is rewound afterwards. nullopt when
    // cancelled() turned true on the way.
    static std::optional<int> countLines(std::FILE* file, const std::function<bool()>& cancelled);

    // The delay field's text as used: its leading number, at least 1 ms.
    static int delayFromText(std::string_view text);

    LogReplay(SentenceMailbox& mailbox, Prompt& prompt, Callbacks callbacks);
    ~LogReplay();
    LogReplay(const LogReplay&) = delete;
    LogReplay& operator=(const LogReplay&) = delete;

    // OK of the replay dialog. An empty name does nothing (false); so does a
    // start while a replay runs. delayMs below 1 becomes 1.
    bool start(std::string fileName, int delayMs, StartOptions options = {});

    // The Esc key: the replay asks "Stop replay ?" before its next line.
    void escape() { escape_ = true; }
    // Ends the replay without asking, at its next wait, and joins it.
    void cancel();
    // Waits until the replay ends by itself (command line, tests). Not on the
    // UI thread of a GUI: the replay waits for that thread.
    void join();

    // Holds the replay before its next line until resumed (a paused replay
    // can still be cancelled). Any thread.
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    bool running() const { return running_; }
    // Sentences handed over by the current or last replay.
    int linesSent() const { return linesSent_; }
    // Lines read by the current or last replay, the ones passed over included.
    int linesRead() const { return linesRead_; }
    // The lines of the file being replayed, counted when it was opened
    // (pieces of over-long lines not counted apart); -1 until then.
    int linesTotal() const { return linesTotal_; }
    // The line of the file the replay is at (1 for the first), as linesTotal counts them.
    int currentLine() const { return currentLine_; }
    int delayMs() const { return delayMs_; }

private:
    void run();
    PromptAnswer ask(const std::string& text, PromptButtons buttons, const std::string& title = {});

    SentenceMailbox& mailbox_;
    Prompt& prompt_;
    Callbacks callbacks_;
    UiBridge bridge_;
    TickPacer pacer_;
    std::string fileName_;
    StartOptions options_;
    int delayMs_ = 1;
    std::atomic<bool> escape_{false};
    std::atomic<bool> running_{false};
    std::atomic<int> linesSent_{0};
    std::atomic<int> linesRead_{0};
    std::atomic<int> linesTotal_{-1};
    std::atomic<int> currentLine_{0};
    std::atomic<bool> paused_{false};
    std::thread worker_;
};

} // namespace varno::gps
