// A scripted SerialPort for the reader, Start/Stop and send tests: bytes in, calls and writes recorded.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "gps/SerialPort.h"

namespace varno::test {

class FakeSerialPort final : public gps::SerialPort {
public:
    bool openSucceeds = true, stateSucceeds = true, applySucceeds = true, timeoutSucceeds = true,
         closeSucceeds = true, writeSucceeds = true;
    gps::LineSettings current{9600, 8, gps::Parity::Even, gps::StopBits::One};

    std::vector<gps::LineSettings> applied;
    // In order: "open <name>", "apply", "timeout <ms>", "clear", "close".
    std::vector<std::string> calls;
    int readsAfterClose = 0;

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
    int readCalls() const
    {
        std::lock_guard lock(m_);
        return reads_;
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
        std::lock_guard lock(m_);
        calls.push_back("open " + name);
        open_ = openSucceeds;
        gone_ = false;
        return open_;
    }
    bool isOpen() const override
    {
        std::lock_guard lock(m_);
        return open_;
    }
    std::optional<gps::LineSettings> state() override
    {
        return stateSucceeds ? std::optional(current) : std::nullopt;
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
        ++reads_;
        if (!open_) {
            ++readsAfterClose;
            return {gps::ReadStatus::Gone, 0};
        }
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
        c.erase(0, n);
        if (c.empty())
            chunks_.pop_front();
        return {gps::ReadStatus::Data, n};
    }
    void interruptRead() override
    {
        locked([&] { interrupted_ = true; });
    }
    bool write(std::string_view data) override
    {
        std::lock_guard lock(m_);
        if (!writeSucceeds || !open_)
            return false;
        written_.emplace_back(data);
        cv_.notify_all();
        return true;
    }
    bool close() override
    {
        std::lock_guard lock(m_);
        calls.push_back("close");
        open_ = false;
        return closeSucceeds;
    }

private:
    template <class F> void locked(F f)
    {
        std::lock_guard lock(m_);
        f();
        cv_.notify_all();
    }
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::string> chunks_;
    std::vector<std::string> written_;
    bool open_ = false, gone_ = false, interrupted_ = false, waiting_ = false;
    int reads_ = 0;
};

} // namespace varno::test
