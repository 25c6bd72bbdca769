// The queued voice player: the caller's order, the caller never waiting, and shutdown with sounds pending.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cameras/QueuedVoicePlayer.h"

using namespace std::chrono_literals;

namespace varno::cameras {
namespace {

// What a slow player saw; shared with the test, which outlives the player.
struct PlayLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started; // every path, as it starts
    int finished = 0;
    bool gateOpen = false; // each sound lasts until the test opens the gate
    bool onCallerThread = false;
    bool destroyed = false;
    std::thread::id caller = std::this_thread::get_id();

    void openGate()
    {
        std::lock_guard lock(mutex);
        gateOpen = true;
        changed.notify_all();
    }
    // False when n sounds have not started within a few seconds.
    bool waitForStarted(std::size_t n)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return started.size() >= n; });
    }
};

class SlowPlayer final : public VoicePlayer {
public:
    explicit SlowPlayer(std::shared_ptr<PlayLog> log) : log_(std::move(log)) {}
    ~SlowPlayer() override
    {
        std::lock_guard lock(log_->mutex);
        log_->destroyed = true;
    }
    void play(const std::string& path) override
    {
        std::unique_lock lock(log_->mutex);
        log_->started.push_back(path);
        log_->changed.notify_all();
        if (path == "broken.wav")
            throw std::runtime_error("cannot decode");
        if (std::this_thread::get_id() == log_->caller)
            log_->onCallerThread = true; // and no waiting: that would hold the test
        else
            log_->changed.wait_for(lock, 10s, [&] { return log_->gateOpen; });
        ++log_->finished;
    }

private:
    std::shared_ptr<PlayLog> log_;
};

TEST(VoiceQueue, PlaysEveryRequestInOrderWithoutTheCallerWaiting)
{
    auto log = std::make_shared<PlayLog>();
    std::vector<std::string> asked;
    {
        QueuedVoicePlayer queue(std::make_unique<SlowPlayer>(log));
        for (int i = 0; i < 300; ++i) {
            asked.push_back(i == 7 ? "broken.wav" : std::to_string(i % 20 * 100) + ".wav");
            queue.play(asked.back());
        }
        // Every request is in while the first sound still plays.
        {
            std::lock_guard lock(log->mutex);
            EXPECT_LE(log->started.size(), 1u);
            EXPECT_EQ(log->finished, 0);
        }
        log->openGate();
        ASSERT_TRUE(log->waitForStarted(asked.size()));
    }
    std::lock_guard lock(log->mutex);
    EXPECT_EQ(log->started, asked); // a file that throws is skipped, the rest go on
    EXPECT_EQ(log->finished, 299);
    EXPECT_FALSE(log->onCallerThread);
    EXPECT_TRUE(log->destroyed);
}

TEST(VoiceQueue, ShutdownDropsPendingSoundsAndWaitsForThePlayingOne)
{
    auto log = std::make_shared<PlayLog>();
    auto queue = std::make_unique<QueuedVoicePlayer>(std::make_unique<SlowPlayer>(log));
    for (const char* file : {"1000.wav", "900.wav", "800.wav", "Specs.wav"})
        queue->play(file);
    ASSERT_TRUE(log->waitForStarted(1));
    std::thread closing([&] { queue.reset(); });
    // Give the shutdown time to take the pending sounds away before the first ends.
    std::this_thread::sleep_for(200ms);
    log->openGate();
    closing.join();
    std::lock_guard lock(log->mutex);
    EXPECT_EQ(log->started, std::vector<std::string>{"1000.wav"});
    EXPECT_EQ(log->finished, 1);
    EXPECT_TRUE(log->destroyed);

    // Nothing asked: it ends at once.
    QueuedVoicePlayer idle(nullptr);
}

} // namespace
} // namespace varno::cameras
