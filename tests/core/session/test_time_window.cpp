// Start-up time windows: normalising stored times and the window test across midnight.
#include <gtest/gtest.h>

#include "session/TimeWindow.h"
#include "SessionFixture.h"

using namespace varno::session;

TEST(TimeWindow, NormalisationPadsAndUnifiesSeparators)
{
    EXPECT_EQ(normaliseTime("7:00"), "07:00");
    EXPECT_EQ(normaliseTime("9:00"), "09:00");
    EXPECT_EQ(normaliseTime("7.30"), "07:30");
    EXPECT_EQ(normaliseTime("22.00"), "22:00");
    EXPECT_EQ(normaliseTime(" 06-45 "), "06:45");
    EXPECT_EQ(normaliseTime("02:30"), "02:30");
    // Only one zero is added: an empty or very short text stays short and so
    // never matches a real "hh:mm" time.
    EXPECT_EQ(normaliseTime(""), "0");
    EXPECT_EQ(normaliseTime("7"), "07");
}

TEST(TimeWindow, LocalTimeIsZeroPaddedHourAndMinute)
{
    EXPECT_EQ(hourMinuteText(varno::test::at(7, 5)), "07:05");
    EXPECT_EQ(hourMinuteText(varno::test::at(23, 59)), "23:59");
}

TEST(TimeWindow, SameDayWindowIncludesBothEnds)
{
    EXPECT_TRUE(inTimeWindow("07:00", "07:00", "09:00"));
    EXPECT_TRUE(inTimeWindow("09:00", "07:00", "09:00"));
    EXPECT_TRUE(inTimeWindow("08:15", "07:00", "09:00"));
    EXPECT_FALSE(inTimeWindow("06:59", "07:00", "09:00"));
    EXPECT_FALSE(inTimeWindow("09:01", "07:00", "09:00"));
}

TEST(TimeWindow, WindowAcrossMidnight)
{
    const std::string start = normaliseTime("22.00"), end = normaliseTime("02:30");
    EXPECT_TRUE(inTimeWindow("23:15", start, end));
    EXPECT_TRUE(inTimeWindow("01:00", start, end));
    EXPECT_TRUE(inTimeWindow("22:00", start, end));
    EXPECT_TRUE(inTimeWindow("00:00", start, end));
    EXPECT_TRUE(inTimeWindow("02:30", start, end));
    EXPECT_FALSE(inTimeWindow("12:00", start, end));
    EXPECT_FALSE(inTimeWindow("02:31", start, end));
    EXPECT_FALSE(inTimeWindow("21:59", start, end));
}

TEST(TimeWindow, UnsetTimesNeverMatch)
{
    // The defaults are empty texts; they must not switch anything on.
    const std::string empty = normaliseTime("");
    for (const char* t : {"00:00", "12:00", "23:59"})
        EXPECT_FALSE(inTimeWindow(t, empty, empty)) << t;
}
