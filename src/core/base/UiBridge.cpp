// How a worker thread has the UI thread run something, and the pace of its ticks.
#include "base/UiBridge.h"

namespace varno {

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
    if (external_) {
        external_(period_);
        return !bridge.cancelled();
    }
    // The first tick after the flag was set.
    const auto ticksBefore = (flagSet_ - origin_) / period_;
    const auto nextTick = origin_ + (ticksBefore + 1) * period_;
    if (steady_clock::now() < nextTick && !bridge.sleepUntil(nextTick))
        return false;
    flagSet_ = steady_clock::now();
    return !bridge.cancelled();
}

} // namespace varno
