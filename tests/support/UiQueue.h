// The UI thread of a test: what workers post waits here until the test runs it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace varno::test {

struct UiQueue {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> queued;

    std::function<void(std::function<void()>)> post()
    {
        return [this](std::function<void()> fn) {
            std::lock_guard lock(m);
            queued.push_back(std::move(fn));
            cv.notify_all();
        };
    }
    // Runs what is posted until done() holds; false when nothing came for 10 s.
    bool runUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            std::unique_lock lock(m);
            if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return !queued.empty(); }))
                return false;
            auto fn = std::move(queued.front());
            queued.pop_front();
            lock.unlock();
            fn();
        }
        return true;
    }
    // Runs one posted function; false when none came within 10 s.
    bool runOne()
    {
        bool ran = false;
        return runUntil([&] { return std::exchange(ran, true); });
    }
};

} // namespace varno::test
