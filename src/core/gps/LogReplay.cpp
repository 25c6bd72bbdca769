// Replaying an NMEA log into the view as if the receiver sent it, on a worker thread.
#include "gps/LogReplay.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

#include <fmt/printf.h>

#include "base/LineReader.h"
#include "base/Numbers.h"
#include "base/InputFile.h"

namespace varno::gps {

// --- LogReplay ------------------------------------------------------------

std::optional<int> LogReplay::countLines(std::FILE* file, const std::function<bool()>& cancelled)
{
    std::array<char, 65536> chunk;
    long long lines = 0;
    char last = '\n';
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        if (cancelled())
            return std::nullopt;
        lines += static_cast<long long>(countLineEnds(std::string_view(chunk.data(), got), last));
    }
    lines += static_cast<long long>(endsOpenLine(last)); // a last line without its line end
    std::rewind(file);
    return static_cast<int>(std::min<long long>(lines, INT_MAX));
}

int LogReplay::delayFromText(std::string_view text)
{
    const int delay = leadingInt(text);
    return delay < 1 ? 1 : delay;
}

LogReplay::LogReplay(SentenceMailbox& mailbox, Prompt& prompt, Callbacks callbacks)
    : mailbox_(mailbox), prompt_(prompt), callbacks_(std::move(callbacks)), bridge_(callbacks_.postToUi),
      pacer_(callbacks_.waitTick)
{
}

LogReplay::~LogReplay()
{
    cancel();
}

bool LogReplay::start(std::string fileName, int delayMs, StartOptions options)
{
    if (fileName.empty() || running_)
        return false;
    if (worker_.joinable())
        worker_.join(); // the last replay has ended; collect its thread
    fileName_ = std::move(fileName);
    options_ = options;
    delayMs_ = delayMs < 1 ? 1 : delayMs;
    escape_ = false;
    linesSent_ = 0;
    linesRead_ = 0;
    linesTotal_ = -1;
    currentLine_ = 0;
    paused_ = false;
    bridge_.reset();
    if (callbacks_.replayStarted)
        callbacks_.replayStarted();
    running_ = true;
    worker_ = std::thread([this] {
        run();
        running_ = false;
        if (callbacks_.finished)
            bridge_.post(callbacks_.finished);
    });
    return true;
}

void LogReplay::cancel()
{
    bridge_.cancel();
    if (worker_.joinable())
        worker_.join();
}

void LogReplay::join()
{
    if (worker_.joinable())
        worker_.join();
}

PromptAnswer LogReplay::ask(const std::string& text, PromptButtons buttons, const std::string& title)
{
    PromptAnswer answer = PromptAnswer::Cancel;
    if (!bridge_.call([&] { answer = prompt_.show(text, buttons, PromptIcon::None, title); }))
        return PromptAnswer::Cancel;
    return answer;
}

void LogReplay::run()
{
    if (options_.showNotice && ask("The replay may be stopped at any time by\npressing the Esc key.",
                                   PromptButtons::OkCancel, "Replay log") != PromptAnswer::Ok)
        return;

    std::string refusal;
    const FileHandle file = openTextForReading(fileName_, &refusal);
    if (!file) {
        ask("Error can't open the log file\n" + nameWithRefusal(fileName_, refusal), PromptButtons::Ok);
        return;
    }
    // The total for the progress, read through once here on the worker:
    // a long log takes a moment, and the window must not wait for it.
    const std::optional<int> total = countLines(file.get(), [this] { return bridge_.cancelled(); });
    if (!total)
        return;
    linesTotal_ = *total;
    pacer_.start(std::chrono::milliseconds(delayMs_));
    LineReader reader(file.get());
    std::string line;
    bool midLine = false; // the last piece was part of an over-long line
    while (!bridge_.cancelled()) {
        // Esc is answered before the next line, paused or not; a pause holds
        // the replay here until resumed.
        for (;;) {
            if (escape_.exchange(false)) {
                const PromptAnswer a = ask("Stop replay ?", PromptButtons::YesNo);
                if (a != PromptAnswer::No)
                    return; // Yes, or the replay is being cancelled
            }
            if (!paused_)
                break;
            if (!bridge_.sleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(50)))
                return;
        }
        if (!reader.next(line, kLineLimit)) {
            if (options_.reportEnd)
                ask(fmt::sprintf("Replay complete.\n\nExit on zero length string\nLines sent %d",
                                 linesSent_.load()),
                    PromptButtons::Ok);
            return;
        }
        ++linesRead_;
        if (!midLine)
            ++currentLine_;
        midLine = !endsLine(line);
        stripLineEnd(line, 2);
        if (line.size() <= 2)
            continue; // empty lines and fragments are not handed over
        mailbox_.replace(line);
        if (!bridge_.call([this] {
                if (callbacks_.repaint)
                    callbacks_.repaint();
            }))
            return;
        ++linesSent_;
        if (!pacer_.wait(bridge_))
            return;
        if (!bridge_.call([this] {
                if (callbacks_.runCameraLogic)
                    callbacks_.runCameraLogic();
            }))
            return;
    }
}

} // namespace varno::gps
