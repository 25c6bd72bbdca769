// Replaying an NMEA log into the view as if the receiver sent it, on a worker thread.
#include "gps/LogReplay.h"

#include <cstdio>

#include <fmt/printf.h>

#include "base/LineReader.h"
#include "base/Numbers.h"
#include "base/InputFile.h"

namespace varno::gps {

// --- UiBridge -------------------------------------------------------------

UiBridge::UiBridge(Post post) : post_(std::move(post)), state_(std::make_shared<State>()) {}

bool UiBridge::call(std::function<void()> fn)
{
    const std::shared_ptr<State> state = state_;
    if (!post_) {
        if (cancelled())
            return false;
        fn();
        return true;
    }
    auto done = std::make_shared<bool>(false);
    post_([state, done, fn = std::move(fn)] {
        {
            std::lock_guard lock(state->mutex);
            if (state->cancelled)
                return; // the worker's owner has gone or is going
        }
        fn();
        std::lock_guard lock(state->mutex);
        *done = true;
        state->cv.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return *done || state->cancelled; });
    return *done;
}

void UiBridge::post(std::function<void()> fn)
{
    const std::shared_ptr<State> state = state_;
    if (!post_) {
        if (!cancelled())
            fn();
        return;
    }
    post_([state, fn = std::move(fn)] {
        {
            std::lock_guard lock(state->mutex);
            if (state->cancelled)
                return;
        }
        fn();
    });
}

void UiBridge::cancel()
{
    std::lock_guard lock(state_->mutex);
    state_->cancelled = true;
    state_->cv.notify_all();
}

bool UiBridge::cancelled() const
{
    std::lock_guard lock(state_->mutex);
    return state_->cancelled;
}

void UiBridge::reset()
{
    // A fresh state: functions queued by an earlier, cancelled run stay dead.
    state_ = std::make_shared<State>();
}

bool UiBridge::sleepUntil(std::chrono::steady_clock::time_point until)
{
    std::unique_lock lock(state_->mutex);
    return !state_->cv.wait_until(lock, until, [&] { return state_->cancelled; });
}

// --- TickPacer ------------------------------------------------------------

void TickPacer::start(std::chrono::milliseconds period)
{
    period_ = period.count() < 1 ? std::chrono::milliseconds(1) : period;
    origin_ = flagSet_ = std::chrono::steady_clock::now();
}

bool TickPacer::wait(UiBridge& bridge)
{
    using namespace std::chrono;
    // The first tick after the flag was set.
    const auto ticksBefore = (flagSet_ - origin_) / period_;
    const auto nextTick = origin_ + (ticksBefore + 1) * period_;
    if (steady_clock::now() < nextTick && !bridge.sleepUntil(nextTick))
        return false;
    flagSet_ = steady_clock::now();
    return !bridge.cancelled();
}

// --- LogReplay ------------------------------------------------------------

int LogReplay::delayFromText(std::string_view text)
{
    const int delay = leadingInt(text);
    return delay < 1 ? 1 : delay;
}

LogReplay::LogReplay(SentenceMailbox& mailbox, Prompt& prompt, Callbacks callbacks)
    : mailbox_(mailbox), prompt_(prompt), callbacks_(std::move(callbacks)), bridge_(callbacks_.postToUi)
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

bool LogReplay::waitTick()
{
    if (callbacks_.waitTick) {
        callbacks_.waitTick(std::chrono::milliseconds(delayMs_));
        return !bridge_.cancelled();
    }
    return pacer_.wait(bridge_);
}

void LogReplay::run()
{
    if (options_.showNotice && ask("The replay may be stopped at any time by\npressing the Esc key.",
                                   PromptButtons::OkCancel, "Replay log") != PromptAnswer::Ok)
        return;

    const FileHandle file = openForReading(fileName_);
    if (!file) {
        ask("Error can't open the log file\n" + fileName_, PromptButtons::Ok);
        return;
    }
    pacer_.start(std::chrono::milliseconds(delayMs_));
    LineReader reader(file.get());
    std::string line;
    while (!bridge_.cancelled()) {
        if (escape_.exchange(false)) {
            const PromptAnswer a = ask("Stop replay ?", PromptButtons::YesNo);
            if (a != PromptAnswer::No)
                return; // Yes, or the replay is being cancelled
        }
        if (!reader.next(line, kLineLimit)) {
            if (options_.reportEnd)
                ask(fmt::sprintf("Replay complete.\n\nExit on zero length string\nLines sent %d",
                                 linesSent_.load()),
                    PromptButtons::Ok);
            return;
        }
        if (line.size() >= 3)
            for (int i = 0; i < 2 && (line.back() == '\r' || line.back() == '\n'); ++i)
                line.pop_back();
        if (line.size() <= 2)
            continue; // empty lines and fragments are not handed over
        mailbox_.replace(line);
        if (!bridge_.call([this] {
                if (callbacks_.repaint)
                    callbacks_.repaint();
            }))
            return;
        ++linesSent_;
        if (!waitTick())
            return;
        if (!bridge_.call([this] {
                if (callbacks_.runCameraLogic)
                    callbacks_.runCameraLogic();
            }))
            return;
    }
}

} // namespace varno::gps
