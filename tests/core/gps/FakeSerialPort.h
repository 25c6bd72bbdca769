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
    // What the next calls do.
    bool openSucceeds = true;
    bool stateSucceeds = true;
    bool applySucceeds = true;
    bool timeoutSucceeds = true;
    bool closeSucceeds = true;
    bool writeSucceeds = true;
    gps::LineSettings current{9600, 8, gps::Parity::Even, gps::StopBits::One};

    // What was done.
    std::vector<std::string> opened;
    std::vector<gps::LineSettings> applied;
    std::vector<std::chrono::milliseconds> timeouts;
    std::vector<std::string> calls; // "open", "apply", "timeout", "clear", "close" in order
    int readsAfterClose = 0;

    // Feeds bytes to the reader; each call arrives as one read.
    void feed(std::string bytes)
    {
        std::lock_guard lock(m_);
        chunks_.push_back(std::move(bytes));
        cv_.notify_all();
    }
    // The device goes away: pending and later reads report Gone.
    void unplug()
    {
        std::lock_guard lock(m_);
        gone_ = true;
        cv_.notify_all();
    }
    // Waits until the reader has taken every chunk fed so far and come back
    // for more (so the bytes have been handled).
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
        calls.push_back("open");
        opened.push_back(name);
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
        if (!stateSucceeds)
            return std::nullopt;
        return current;
    }
    bool applyState(const gps::LineSettings& s) override
    {
        calls.push_back("apply");
        applied.push_back(s);
        return applySucceeds;
    }
    bool setReadTimeout(std::chrono::milliseconds t) override
    {
        calls.push_back("timeout");
        timeouts.push_back(t);
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
        if (interrupted_) {
            interrupted_ = false;
            return {gps::ReadStatus::Timeout, 0};
        }
        if (!chunks_.empty()) {
            std::string& c = chunks_.front();
            const std::size_t n = std::min(c.size(), buffer.size());
            c.copy(buffer.data(), n);
            c.erase(0, n);
            if (c.empty())
                chunks_.pop_front();
            return {gps::ReadStatus::Data, n};
        }
        if (gone_)
            return {gps::ReadStatus::Gone, 0};
        return {gps::ReadStatus::Timeout, 0};
    }
    void interruptRead() override
    {
        std::lock_guard lock(m_);
        interrupted_ = true;
        cv_.notify_all();
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
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::string> chunks_;
    std::vector<std::string> written_;
    bool open_ = false;
    bool gone_ = false;
    bool interrupted_ = false;
    bool waiting_ = false;
    int reads_ = 0;
};

} // namespace varno::test
