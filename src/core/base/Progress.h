// How far a long job (a conversion, a list of passed cameras) has got, and the user's way to cancel it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace varno {

// How far a job has got; the callback returns false to cancel it.
// Calls are spaced out, so it may be as slow as a queued UI update.
class Progress {
public:
    using Callback = std::function<bool(std::uint64_t done, std::uint64_t total)>;
    Progress() = default;
    explicit Progress(Callback callback) : callback_(std::move(callback)) {}

    // done and total in any unit (bytes, rows); total 0 when unknown. False: cancelled.
    bool update(std::uint64_t done, std::uint64_t total)
    {
        if (cancelled_)
            return false;
        if (!callback_ || ++calls_ % kEvery != 0)
            return true;
        cancelled_ = !callback_(done, total);
        return !cancelled_;
    }
    // The same for work that reports seldom (once a level, once a file):
    // the callback is asked every time.
    bool updateNow(std::uint64_t done, std::uint64_t total)
    {
        if (!cancelled_ && callback_)
            cancelled_ = !callback_(done, total);
        return !cancelled_;
    }
    bool cancelled() const { return cancelled_; }

private:
    static constexpr unsigned kEvery = 4096;
    Callback callback_;
    unsigned calls_ = 0;
    bool cancelled_ = false;
};

} // namespace varno
