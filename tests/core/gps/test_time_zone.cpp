// The system's time zone: summer and winter time from the fix's own date, as a receiver log shows it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "base/TimeZone.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/Presentation.h"
#include "record/RecordFile.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/TrackLogging.h"

using namespace varno;

namespace {

// Sets TZ for one test and puts the old value back after it.
class ZoneEnv {
public:
    explicit ZoneEnv(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
    }
    ~ZoneEnv()
    {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
    }

private:
    std::optional<std::string> old_;
};

} // namespace

TEST(TimeZone, StoredTextsAndFixedOffsetsReadAsBefore)
{
    EXPECT_TRUE(timeZoneFromText("System").followsSystem());
    EXPECT_TRUE(timeZoneFromText(" system ").followsSystem());
    for (const auto& [text, hours] :
         {std::pair{"+1", 1}, std::pair{"-3", -3}, std::pair{"Sys", 0}, std::pair{"2 System", 2}}) {
        EXPECT_FALSE(timeZoneFromText(text).followsSystem()) << text;
        EXPECT_EQ(timeZoneFromText(text).hours(), hours) << text;
    }
    // A fixed zone ignores the date and TZ alike.
    ZoneEnv env("Europe/Amsterdam");
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, TimeZone(1)), (TimeOfDay{10, 47, 37}));
}

TEST(TimeZone, SystemZoneTakesSummerTimeFromTheFixDate)
{
    ZoneEnv env("Europe/Amsterdam");
    const TimeZone zone = TimeZone::system();
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, zone), (TimeOfDay{11, 47, 37}));
    EXPECT_EQ(localTimeOfDay({2018, 1, 20, 9, 47, 37}, zone), (TimeOfDay{10, 47, 37}));
    // Across midnight, and on the night summer time ends (01:00 UTC on 28 October 2018).
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 23, 30, 0}, zone), (TimeOfDay{1, 30, 0}));
    EXPECT_EQ(localTimeOfDay({2018, 10, 28, 0, 59, 59}, zone), (TimeOfDay{2, 59, 59}));
    EXPECT_EQ(localTimeOfDay({2018, 10, 28, 1, 0, 0}, zone), (TimeOfDay{2, 0, 0}));
    // A leap second stays as sent rather than carrying into the next minute.
    EXPECT_EQ(localTimeOfDay({2016, 12, 31, 23, 59, 60}, zone), (TimeOfDay{0, 59, 60}));
    ZoneEnv west("America/New_York");
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, zone), (TimeOfDay{5, 47, 37}));
}

// The B&G log was recorded on the IJsselmeer on 20 August 2018: 09:47 UTC is 11:47 there.
TEST(TimeZone, ADutchSummerLogShowsTheLocalTimeInViewsAndRecords)
{
    ZoneEnv env("Europe/Amsterdam");
    std::ifstream log(std::string(VARNO_CORPUS_DIR) + "/nmea/gpsd/bundg_zeus_9.log");
    ASSERT_TRUE(log);
    gps::CNmeaDecoder d;
    std::string line;
    int fixes = 0;
    while (std::getline(log, line) && fixes < 2) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("$GPGGA,0947", 0) == 0 || line.rfind("$GPRMC,0947", 0) == 0)
            fixes += gps::intakeSentence(d, line) && line[3] == 'G' ? 1 : 0;
        else if (line.rfind("$GP", 0) == 0)
            gps::intakeSentence(d, line);
    }
    ASSERT_GT(fixes, 0);
    const gps::Fix fix = d.fix();
    ASSERT_EQ(fix.hourUtc, 9);
    EXPECT_EQ(gps::timeText(fix, TimeZone::system()).substr(0, 10), "Time 11:47");
    EXPECT_EQ(gps::timeText(fix, TimeZone(1)).substr(0, 10), "Time 10:47");
    // The record file's time line goes through the same zone.
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    views::TrackLogging track{settings, prompt};
    const std::string record = record::formatRecord(fix, TimeZone::system(), track);
    EXPECT_NE(record.find("\r\nTime\r\n11:47:"), std::string::npos) << record.substr(0, 60);
}
