// The one-sentence hand-off between the reader/replay threads and the view.
#include <atomic>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "gps/SentenceMailbox.h"

namespace varno::gps {
namespace {

// Offer refusing a full slot, the 99-character slot and reset are proved through the reader and replay tests.
TEST(SentenceMailboxTest, ReplaceOverwritesAndTheStripKeepsShowingASentenceNoLongerPending)
{
    SentenceMailbox box;
    box.offer("$GPGGA,1");
    box.replace("$GPRMC,2");
    box.clearPending();
    EXPECT_EQ(box.snapshot().sentence, "$GPRMC,2");
    EXPECT_FALSE(box.snapshot().pending);
    EXPECT_FALSE(box.take());
}

TEST(SentenceMailboxTest, TwoProducersAndAConsumerNeverTearASentence)
{
    SentenceMailbox box;
    std::atomic<bool> done{false};
    auto producer = [&](char c, bool replay) {
        for (int i = 0; i < 20000; ++i) {
            const std::string s(1 + i % 90, c);
            if (replay)
                box.replace(s);
            else
                box.offer(s);
        }
    };
    std::set<std::string> bad;
    std::thread consumer([&] {
        while (!done.load()) {
            if (auto s = box.take()) {
                if (s->find_first_not_of(s->front()) != std::string::npos)
                    bad.insert(*s);
            }
        }
    });
    std::thread live(producer, 'a', false), replay(producer, 'b', true);
    live.join();
    replay.join();
    done = true;
    consumer.join();
    EXPECT_TRUE(bad.empty());
}

} // namespace
} // namespace varno::gps
