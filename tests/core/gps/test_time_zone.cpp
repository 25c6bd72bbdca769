// The system's time zone: summer and winter time from the fix's own date, as a receiver log shows it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/Presentation.h"
#include "record/RecordFile.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"
#include "views/TrackLogging.h"

using namespace varno;

TEST(TimeZone, StoredTextsFixedOffsetsAndTheSystemsSummerTime)
{
    EXPECT_TRUE(timeZoneFromText(" system ").followsSystem());
    for (const auto& [text, hours] : {std::pair{"+1", 1}, std::pair{"Sys", 0}, std::pair{"2 System", 2}})
        EXPECT_EQ(timeZoneFromText(text), TimeZone(hours)) << text;
    setenv("TZ", "Europe/Amsterdam", 1);
    const TimeZone zone = TimeZone::system();
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, TimeZone(1)), (TimeOfDay{10, 47, 37}));
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, zone), (TimeOfDay{11, 47, 37}));
    EXPECT_EQ(localTimeOfDay({2018, 1, 20, 9, 47, 37}, zone), (TimeOfDay{10, 47, 37}));
    // Across midnight, the end of summer time (01:00 UTC on 28 October 2018), a leap second kept.
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 23, 30, 0}, zone), (TimeOfDay{1, 30, 0}));
    EXPECT_EQ(localTimeOfDay({2018, 10, 28, 0, 59, 59}, zone), (TimeOfDay{2, 59, 59}));
    EXPECT_EQ(localTimeOfDay({2018, 10, 28, 1, 0, 0}, zone), (TimeOfDay{2, 0, 0}));
    EXPECT_EQ(localTimeOfDay({2016, 12, 31, 23, 59, 60}, zone), (TimeOfDay{0, 59, 60}));
    setenv("TZ", "America/New_York", 1);
    EXPECT_EQ(localTimeOfDay({2018, 8, 20, 9, 47, 37}, zone), (TimeOfDay{5, 47, 37}));
    unsetenv("TZ");
}

// The B&G log was recorded on the IJsselmeer on 20 August 2018: 09:47 UTC is 11:47 there, in the
// views and in the record file alike.
TEST(TimeZone, ADutchSummerLogShowsTheLocalTime)
{
    setenv("TZ", "Europe/Amsterdam", 1);
    std::ifstream log(std::string(VARNO_CORPUS_DIR) + "/nmea/gpsd/bundg_zeus_9.log");
    gps::CNmeaDecoder d;
    for (std::string line;
         std::getline(log, line) && !(d.GgaCount > 0 && d.RmcCount > 0 && d.GgaMinute == 47);)
        gps::intakeSentence(d, line.substr(0, line.find('\r')));
    ASSERT_EQ(d.GgaHour, 9);
    EXPECT_EQ(gps::timeText(d.fix(), TimeZone::system()).substr(0, 10), "Time 11:47");
    EXPECT_EQ(gps::timeText(d.fix(), TimeZone(1)).substr(0, 10), "Time 10:47");
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    const std::string record =
        record::formatRecord(d.fix(), TimeZone::system(), views::TrackLogging{settings, prompt});
    EXPECT_NE(record.find("\r\nTime\r\n11:47:"), std::string::npos);
    unsetenv("TZ");
}
