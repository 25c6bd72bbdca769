// The one-sentence hand-off between the reader/replay threads and the view.
#include <atomic>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "gps/SentenceMailbox.h"

namespace varno::gps {
namespace {

TEST(SentenceMailboxTest, OfferFillsOnlyAnEmptySlotReplaceAlwaysAndTheSentenceOutlivesItsTaking)
{
    SentenceMailbox box;
    EXPECT_TRUE(box.offer("$GPRMC,first"));
    EXPECT_FALSE(box.offer("$GPRMC,second"));
    EXPECT_EQ(box.snapshot().sentence, "$GPRMC,first");
    box.replace(std::string(150, 'x'));
    EXPECT_EQ(box.take(), std::string(99, 'x')); // the slot holds 99 characters
    EXPECT_FALSE(box.take());

    box.offer("$GPGGA,1");
    EXPECT_TRUE(box.snapshot().pending);
    box.clearPending();
    // The strip keeps showing the sentence; it is just no longer pending.
    EXPECT_EQ(box.snapshot().sentence, "$GPGGA,1");
    EXPECT_FALSE(box.snapshot().pending);
    box.reset();
    EXPECT_EQ(box.snapshot().sentence, "");
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
