// How a worker thread has the UI thread run something, and the pace of its ticks.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace varno {

// How a worker thread has the UI thread run something.
//
// The GUI supplies `post`, which queues a function to the UI thread and
// returns at once (QMetaObject::invokeMethod with Qt::QueuedConnection). The
// worker then waits here for the function to have run. cancel() releases every
// wait and stops posted functions that have not run yet from running, so the
// owner can end the worker from the UI thread without a deadlock and without a
// queued call reaching an object that is gone. Without `post` (tests, the
// command line) functions run at once on the calling thread.
class UiBridge {
public:
    using Post = std::function<void(std::function<void()>)>;

    explicit UiBridge(Post post = {});

    // Worker side: runs fn on the UI thread and waits for it. False when
    // cancelled before fn ran.
    bool call(std::function<void()> fn);
    // Worker side: runs fn on the UI thread without waiting (display updates).
    void post(std::function<void()> fn);

    // Any thread.
    void cancel();
    bool cancelled() const;
    // Before a new run: allows calls again.
    void reset();

    // Waits up to `until` unless cancelled first; false when cancelled.
    bool sleepUntil(std::chrono::steady_clock::time_point until);

private:
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool cancelled = false;
    };
    Post post_;
    std::shared_ptr<State> state_;
};

// A steady pace of ticks, as a window timer of a given period gives: the
// worker sets its wait flag, and the next tick clears it. A tick that fell due
// while the worker was busy elsewhere counts, so a slow repaint does not slow
// the replay further.
//
// The ticks may come from elsewhere instead (the window's own timer, or tests
// that pass one returning at once): then wait() calls that and the steady
// clock plays no part.
class TickPacer {
public:
    using ExternalTick = std::function<void(std::chrono::milliseconds period)>;

    explicit TickPacer(ExternalTick external = {}) : external_(std::move(external)) {}
    void start(std::chrono::milliseconds period);
    // Waits for the first tick after the last wait ended (or after start).
    // False when the bridge was cancelled meanwhile.
    bool wait(UiBridge& bridge);

private:
    std::chrono::steady_clock::time_point origin_;
    std::chrono::steady_clock::time_point flagSet_;
    std::chrono::milliseconds period_{1};
    ExternalTick external_;
};

} // namespace varno
