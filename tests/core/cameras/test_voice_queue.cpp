// The queued voice player: the caller's order, the caller never waiting, and shutdown with sounds pending.
#include <gtest/gtest.h>

#include <condition_variable>
#include <stdexcept>
#include <thread>

#include "cameras/QueuedVoicePlayer.h"

using namespace std::chrono_literals;

namespace varno::cameras {
namespace {

// What a slow player saw (each sound lasts until the gate opens); outlives the player.
struct PlayLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started; // every path, as it starts
    int finished = 0;
    bool gateOpen = false, destroyed = false;
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

struct SlowPlayer final : VoicePlayer {
    std::shared_ptr<PlayLog> log;
    explicit SlowPlayer(std::shared_ptr<PlayLog> l) : log(std::move(l)) {}
    ~SlowPlayer() override
    {
        std::lock_guard lock(log->mutex);
        log->destroyed = true;
    }
    void play(const std::string& path) override
    {
        std::unique_lock lock(log->mutex);
        log->started.push_back(path);
        log->changed.notify_all();
        if (path == "broken.wav")
            throw std::runtime_error("cannot decode");
        log->changed.wait_for(lock, 10s, [&] { return log->gateOpen; });
        ++log->finished;
    }
    // Speech takes its turn in the same queue as the files.
    void speak(const std::string& text) override { play("say:" + text); }
};

TEST(VoiceQueue, PlaysEveryRequestInOrderWithoutTheCallerWaiting)
{
    auto log = std::make_shared<PlayLog>();
    std::vector<std::string> asked;
    {
        QueuedVoicePlayer queue(std::make_unique<SlowPlayer>(log));
        for (int i = 0; i < 300; ++i) {
            if (i % 10 == 3) {
                queue.speak("turn " + std::to_string(i));
                asked.push_back("say:turn " + std::to_string(i));
                continue;
            }
            asked.push_back(i == 7 ? "broken.wav" : std::to_string(i % 20 * 100) + ".wav");
            queue.play(asked.back());
        }
        // Every request is in while the first sound still plays (no play on the caller's thread).
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
    std::this_thread::sleep_for(500ms);
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
