// A scripted SerialPort for the reader, Start/Stop and send tests: bytes in, calls and writes recorded.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "gps/SerialPort.h"

namespace varno::test {

class FakeSerialPort final : public gps::SerialPort {
    // Runs `f` under the lock and wakes every waiter.
    template <class F> auto locked(F f) const
    {
        std::lock_guard lock(m_);
        cv_.notify_all();
        return f();
    }

public:
    bool openSucceeds = true, stateSucceeds = true, applySucceeds = true, timeoutSucceeds = true,
         closeSucceeds = true, writeSucceeds = true;
    std::vector<gps::LineSettings> applied;
    std::vector<std::string> calls; // in order: "open <name>", "apply", "timeout <ms>", "clear", "close"
    int readsAfterClose = 0;
    std::string failReason; // what openFailureReason() says

    // Each call arrives as one read.
    void feed(std::string bytes)
    {
        locked([&] { chunks_.push_back(std::move(bytes)); });
    }
    // The device goes away: pending and later reads report Gone.
    void unplug()
    {
        locked([&] { gone_ = true; });
    }
    // Waits until the reader has taken every chunk fed so far and come back for more.
    void waitDrained()
    {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return chunks_.empty() && waiting_; });
    }
    // Waits (for a while) until `n` writes have been made; returns what was written.
    std::vector<std::string> waitForWrites(std::size_t n)
    {
        std::unique_lock lock(m_);
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return written_.size() >= n; });
        return written_;
    }

    bool open(const std::string& name) override
    {
        return locked([&] {
            calls.push_back("open " + name);
            gone_ = false;
            return open_ = openSucceeds;
        });
    }
    // Whether `call` is among the calls so far (safe while another thread makes calls).
    bool called(const std::string& call) const
    {
        return locked([&] { return std::find(calls.begin(), calls.end(), call) != calls.end(); });
    }
    std::string openFailureReason() const override { return failReason; }
    bool isOpen() const override
    {
        return locked([&] { return open_; });
    }
    std::optional<gps::LineSettings> state() override
    {
        return stateSucceeds
                   ? std::optional(gps::LineSettings{9600, 8, gps::Parity::Even, gps::StopBits::One})
                   : std::nullopt;
    }
    bool applyState(const gps::LineSettings& s) override
    {
        calls.push_back("apply");
        applied.push_back(s);
        return applySucceeds;
    }
    bool setReadTimeout(std::chrono::milliseconds t) override
    {
        calls.push_back("timeout " + std::to_string(t.count()));
        return timeoutSucceeds;
    }
    void clearErrors() override { calls.push_back("clear"); }
    gps::ReadResult read(std::span<char> buffer) override
    {
        std::unique_lock lock(m_);
        if (!open_ && ++readsAfterClose)
            return {gps::ReadStatus::Gone, 0};
        waiting_ = chunks_.empty();
        cv_.notify_all();
        // A read time-out long enough that Stop has to wake it.
        cv_.wait_for(lock, std::chrono::seconds(30),
                     [&] { return !chunks_.empty() || gone_ || interrupted_; });
        waiting_ = false;
        if (std::exchange(interrupted_, false) || (chunks_.empty() && !gone_))
            return {gps::ReadStatus::Timeout, 0};
        if (chunks_.empty())
            return {gps::ReadStatus::Gone, 0};
        std::string& c = chunks_.front();
        const std::size_t n = c.copy(buffer.data(), buffer.size());
        if (c.erase(0, n).empty())
            chunks_.pop_front();
        return {gps::ReadStatus::Data, n};
    }
    void interruptRead() override
    {
        locked([&] { interrupted_ = true; });
    }
    bool write(std::string_view data) override
    {
        return locked([&] { return writeSucceeds && open_ && (written_.emplace_back(data), true); });
    }
    bool close() override
    {
        return locked([&] {
            calls.push_back("close");
            open_ = false;
            return closeSucceeds;
        });
    }

private:
    mutable std::mutex m_;
    mutable std::condition_variable cv_;
    std::deque<std::string> chunks_;
    std::vector<std::string> written_;
    bool open_ = false, gone_ = false, interrupted_ = false, waiting_ = false;
};

} // namespace varno::test
