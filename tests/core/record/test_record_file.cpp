// The record file: exact text, round trip, each reading rule, and a failed save keeping the old file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include <fmt/format.h>

#include "core/base/ScratchFiles.h"
#include "gps/CNmeaDecoder.h"
#include "record/RecordFile.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/TrackLogging.h"

using namespace varno;
using namespace varno::record;

namespace {

namespace fs = std::filesystem;

struct RecordFixture : ::testing::Test {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    views::TrackLogging track{settings, prompt};

    RecordFixture() { keep(settings, 1, 500); }
    static void keep(test::TestSettings& s, std::uint32_t logTrack, std::uint32_t trackLength)
    {
        s.set(settings::keys::LogTrack, logTrack);
        s.set(settings::keys::DisplayTrack, logTrack);
        s.set(settings::keys::TrackLength, trackLength);
    }
    gps::CNmeaDecoder fix;
};

std::string header(int n)
{
    return "VARNO record file\r\nTime\r\n1:05:09\r\n23\r\n5\r\n9\r\nLatitude\r\n51.380000\r\nLongitude\r\n"
           "-1.330000\r\nTrack\r\n42\r\n" +
           std::to_string(n) + "\r\n";
}

} // namespace

// One pair per slot below TrackLength is written, and read back with the fix.
TEST_F(RecordFixture, RoundTripRestoresFixAndTrack)
{
    track.load();
    fix.GgaHour = 7, fix.GgaMinute = 59, fix.GgaSecond = 1;
    fix.Latitude = 51.381234, fix.Longitude = -1.334567;
    for (int i = 0; i < 3; ++i)
        track.recordFix(true, {.position = {51.38 + i * 0.001, -1.33 - i * 0.001}, .speedKnots = 30.0});
    const fs::path file = dir / "drive.txt";
    ASSERT_TRUE(saveRecordFile(file.string(), fix.fix(), 1, track, prompt));
    const std::string text = test::readBytes(file.string());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13 + 1000); // 13 fixed lines, 500 pairs, the end
    EXPECT_TRUE(text.ends_with("0.000000\r\nEnd Of file"));
    gps::CNmeaDecoder back;
    test::TestSettings off{prompt};
    keep(off, 0, 500);
    views::TrackLogging restored(off, prompt);
    restored.load();
    int stops = 0;
    auto r = openRecordFile(file.string(), back, restored, prompt, [&] { ++stops; });
    EXPECT_TRUE(r.opened && r.refreshCameras() && stops == 1);
    EXPECT_EQ(std::tuple(back.GgaHour, back.GgaMinute, back.GgaSecond), std::tuple(7, 59, 1));
    EXPECT_EQ(std::pair(back.Latitude, back.Longitude), std::pair(51.381234, -1.334567));
    // The track is shown even though logging is off, the index starts afresh.
    ASSERT_TRUE(restored.displayTrack() && restored.ring().allocated());
    EXPECT_EQ(restored.ring().index(), 501);
    EXPECT_EQ(std::pair(restored.ring().slot(2)->lat, restored.ring().slot(2)->lon),
              std::pair(51.382, -1.332));
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(RecordFixture, ExactLinesReadingRulesAndBrokenFilesKeepingWhatWasRestored)
{
    // A length outside 500..5000 is read as 500: 500 pairs, then the end.
    std::string pairs;
    for (int i = 0; i < 500; ++i)
        pairs += "51.1\n-1.1\n";
    settings.set(settings::keys::TrackLength, 1000u);
    track.load();
    EXPECT_TRUE(readRecordText(header(100) + pairs + "End Of file", fix, track, prompt));
    EXPECT_EQ(track.ring().slotCount(), 1001u); // sized for the TrackLength in use
    EXPECT_DOUBLE_EQ(track.ring().slot(499)->lat, 51.1);
    EXPECT_EQ(track.ring().slot(500)->lat, 0.0);
    // A longer record fills only the slots there are (0 .. TrackLength and one more); the rest is unread.
    settings.set(settings::keys::TrackLength, 500u);
    track.load();
    std::string many;
    for (int i = 0; i < 2000; ++i)
        many += fmt::format("{:.4f}\r\n-1.0\r\n", 50.0 + i / 10000.0); // the file's dot under any locale
    EXPECT_TRUE(readRecordText(header(2000) + many, fix, track, prompt));
    EXPECT_NEAR(track.ring().slot(500)->lat, 50.05, 1e-9);
    EXPECT_TRUE(prompt.texts().empty());
    // With logging off the exact lines go without track; such a record fails at its first pair. Short or
    // broken files fail with one message and keep what was read, never an impossible fix.
    settings.set(settings::keys::LogTrack, 0u);
    track.load();
    fix.GgaHour = 23, fix.GgaMinute = 5, fix.GgaSecond = 9;
    fix.Latitude = 51.38, fix.Longitude = -1.33;
    track.ring().setIndex(42);
    EXPECT_EQ(formatRecord(fix.fix(), 2, track), header(500) + "End Of file");
    settings.set(settings::keys::LogTrack, 1u);
    track.load();
    const struct {
        std::string text;
        int hour;
        double lat, lon;
    } cases[] = {
        {header(500) + "End Of file", 23, 51.38, -1.33}, // saved without track: "End Of file" as latitude
        {"VARNO record file\nTime\n1:00:00\n12\n", 12, 0.0, 0.0},
        {"a\nb\nc\n99\n-4\n75\nLatitude\nnan\nLongitude\n1e308\n", 0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        fix = {};
        prompt.shown.clear();
        EXPECT_FALSE(readRecordText(c.text, fix, track, prompt)) << c.text;
        EXPECT_EQ(std::tuple(fix.GgaHour, fix.Latitude, fix.Longitude), std::tuple(c.hour, c.lat, c.lon));
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error reading from record file"});
    }
    EXPECT_EQ(std::tuple(fix.GgaMinute, fix.GgaSecond, track.ring().slot(0)->lat), std::tuple(0, 0, 0.0));
}

TEST_F(RecordFixture, AFailedSaveLeavesThePreviousRecordIntactAndAFailedOpenTheGps)
{
    const fs::path file = dir / "keep.txt";
    test::writeBytes(file.string(), "previous record");
    test::FailingSync failing;
    track.load();
    EXPECT_FALSE(saveRecordFile(file.string(), fix.fix(), 1, track, prompt, &failing));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error writing to file"});
    EXPECT_EQ(test::readBytes(file.string()), "previous record");

    // A link planted where a save could put its temporary text is never followed.
    const fs::path victim = dir / "victim";
    test::writeBytes(victim.string(), "victim");
    fs::create_symlink(victim, file.string() + ".saving~");
    prompt.shown.clear();
    EXPECT_TRUE(saveRecordFile(file.string(), fix.fix(), 1, track, prompt));
    EXPECT_EQ(test::readBytes(victim.string()), "victim");

    prompt.shown.clear();
    const std::string noFolder = (dir / "missing" / "r.txt").string();
    EXPECT_FALSE(saveRecordFile(noFolder, fix.fix(), 1, track, prompt));
    // Opening a missing record leaves the GPS running.
    int stops = 0;
    EXPECT_FALSE(openRecordFile(noFolder, fix, track, prompt, [&] { ++stops; }).opened);
    EXPECT_EQ(stops, 0);
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Error can't create the record file\n" + noFolder,
                                                        "Error can't open the record file\n" + noFolder}));
}
