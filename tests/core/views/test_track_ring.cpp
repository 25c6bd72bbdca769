// The track log ring and the track logging options: index rules, dialog rules, out of memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <string>

#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/TrackLogging.h"
#include "views/TrackRing.h"

using namespace varno;
using namespace varno::views;

TEST(TrackRing, IndexStartsPastTheEndAndWrapsAtTrackLength)
{
    TrackRing ring;
    ring.allocate(3);
    EXPECT_EQ(ring.slotCount(), 4u);
    EXPECT_EQ(ring.index(), 4); // TrackLength + 1
    ring.record({51.0, -1.0});  // start value is above TrackLength: to 0
    ring.record({51.1, -1.1});
    ring.record({51.2, -1.2});
    ring.record({51.3, -1.3}); // slot 3 = TrackLength: the extra slot is used
    EXPECT_EQ(ring.slot(3)->lat, 51.3);
    ring.record({51.4, -1.4}); // at TrackLength: back to 0
    EXPECT_EQ(ring.slot(0)->lon, -1.4);
    EXPECT_EQ(ring.slot(4), nullptr);
    // Without slots a fix is not written anywhere.
    TrackRing none;
    none.record({51.0, -1.0});
    EXPECT_FALSE(none.allocated());
}

namespace {

namespace keys = settings::keys;
using Stored = std::optional<std::uint32_t>; // nullopt: cannot be read

struct LoggingFixture : ::testing::Test {
    test::RecordingPrompt prompt;
    test::TestSettings s{prompt};
    TrackLogging t{s, prompt};

    void store(Stored logTrack, Stored displayTrack = {}, Stored trackLength = {})
    {
        for (auto [key, value] :
             {std::pair{&keys::LogTrack.row(), logTrack}, std::pair{&keys::DisplayTrack.row(), displayTrack},
              std::pair{&keys::TrackLength.row(), trackLength}}) {
            if (value)
                s.store.setDword(settings::kVarnoKey, key->name, *value);
            else
                s.store.deleteValue(settings::kVarnoKey, key->name);
        }
    }
    template <settings::SettingKind Kind> Stored stored(const settings::Key<Kind>& key)
    {
        auto v = s.get(key);
        return v ? Stored(v->number) : std::nullopt;
    }
};

} // namespace

TEST_F(LoggingFixture, RecordsOnlyNewSentencesFasterThanOneKnot)
{
    store(1, 1, 500);
    t.load();
    t.recordFix(false, {.position = {51.0, -1.0}, .speedKnots = 30.0});
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 1.0});
    EXPECT_EQ(t.ring().index(), 501);
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 1.01});
    EXPECT_EQ(t.ring().slot(0)->lat, 51.0);
    // Moving without a position yet: the index moves on past an empty slot.
    t.recordFix(true, {.position = {}, .speedKnots = 5.0});
    EXPECT_EQ(t.ring().index(), 1);
    EXPECT_EQ(t.ring().slot(1)->lat, 0.0);
}

TEST_F(LoggingFixture, StartUpSizesFor5000WhenTheLengthCannotBeRead)
{
    store(1);
    t.load();
    EXPECT_EQ(t.ring().slotCount(), 5001u);
    EXPECT_FALSE(t.displayTrack());

    store(0);
    t.load();
    EXPECT_FALSE(t.ring().allocated());
}

TEST_F(LoggingFixture, DialogClampsTheLengthAsUnsigned)
{
    // A negative entry is a huge unsigned.
    for (auto [text, stored] :
         {std::pair{"100", 500u}, {"2500", 2500u}, {"9000", 5000u}, {"-1", 5000u}, {"", 500u}})
        EXPECT_EQ(trackLengthToStore(text), stored) << text;
    t.storeDialog(true, false, "-20");
    EXPECT_EQ(stored(keys::LogTrack), 1u);
    EXPECT_EQ(stored(keys::DisplayTrack), 0u);
    EXPECT_EQ(stored(keys::TrackLength), 5000u);
}

TEST_F(LoggingFixture, AfterTheDialogTheRingFollowsTheSettings)
{
    store(0, 0, 1000);
    t.load();
    t.storeDialog(true, true, "1000");
    t.afterDialog();
    EXPECT_EQ(t.ring().slotCount(), 1001u);
    t.recordFix(true, {.position = {51.0, -1.0}, .speedKnots = 10.0});

    // Same length again: the ring and its track are kept.
    t.afterDialog();
    EXPECT_EQ(t.ring().slot(0)->lat, 51.0);

    // A new length starts a new ring.
    t.storeDialog(true, true, "600");
    t.afterDialog();
    EXPECT_EQ(t.ring().slotCount(), 601u);
    EXPECT_EQ(t.ring().slot(0)->lat, 0.0);

    // Unreadable after the dialog: 1000.
    s.erase(keys::TrackLength);
    t.afterDialog();
    EXPECT_EQ(t.trackLength(), 1000);

    t.storeDialog(false, false, "1000");
    t.afterDialog();
    EXPECT_FALSE(t.ring().allocated());
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(LoggingFixture, OutOfMemoryTurnsLoggingOffWithOneMessage)
{
    store(1, 1, 5000);
    t.allocator = [](TrackRing& ring, int) {
        ring.allocate(10); // some memory was taken before it ran out
        throw std::bad_alloc();
    };
    t.load();
    EXPECT_FALSE(t.ring().allocated());
    EXPECT_FALSE(t.displayTrack());
    EXPECT_EQ(stored(keys::LogTrack), 0u);
    EXPECT_EQ(stored(keys::DisplayTrack), 0u);
    EXPECT_EQ(prompt.texts(),
              std::vector<std::string>{
                  "There is not enough memory for track logging.\nTrack logging will be turned off"});
}
