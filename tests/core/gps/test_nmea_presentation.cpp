// Speed and time texts, and what the Time Zone and Speed Setup dialogs store.
#include <gtest/gtest.h>

#include "gps/Fix.h"
#include "gps/Presentation.h"

using namespace varno::gps;

TEST(NmeaPresentation, SpeedTexts)
{
    EXPECT_EQ(speedText(1.0, kSpeedUnitsMph), "0 mph"); // one knot and less shows 0 mph
    EXPECT_EQ(speedText(1.1, kSpeedUnitsMph), "1 mph");
    EXPECT_EQ(speedText(0.9, kSpeedUnitsKph), "2 kph"); // no floor for kph
    EXPECT_EQ(speedText(50.0, kSpeedUnitsKph), "93 kph");
    EXPECT_EQ(speedText(0.4, kSpeedUnitsKnots), "0 knots");
    EXPECT_EQ(speedText(12.6, kSpeedUnitsKnots), "13 knots");
    EXPECT_EQ(speedText(50.0, 7), "58 mph"); // unknown units show mph
    EXPECT_EQ(speedLabelText(0.5, kSpeedUnitsMph), "Speed 0 mph");
    EXPECT_EQ(speedLabelText(12.6, kSpeedUnitsKnots), "Speed 13 knots");
}

TEST(NmeaPresentation, LocalTimeWrapsAroundMidnight)
{
    const int cases[][3] = {{0, -1, 23},  {23, 2, 1}, {11, -12, 23},
                            {23, 12, 11}, {5, 50, 7}, {5, -50, 3}}; // a zone edited by hand beyond +-12
    for (const auto& [utc, zone, local] : cases)
        EXPECT_EQ(localHour(utc, zone), local) << utc << " " << zone;

    const Fix fix{.position = {}, .hourUtc = 0, .minuteUtc = 5, .secondUtc = 7};
    EXPECT_EQ(timeText(fix, -1), "Time 23:05:07");
    EXPECT_EQ(timeText(fix, 9), "Time 9:05:07");
}

TEST(NmeaPresentation, TimeZoneAndSpeedSetupDialogs)
{
    EXPECT_EQ(timeZoneTextToStore("-13"), "-12");
    EXPECT_EQ(timeZoneTextToStore("99999999999"), "12");
    EXPECT_EQ(timeZoneTextToStore("-12"), "-12");
    EXPECT_EQ(timeZoneTextToStore(" 2 hours"), " 2 hours"); // stored as typed
    EXPECT_EQ(timeZoneTextToStore("abc"), "abc");
    EXPECT_EQ(timeZoneFromText(" 2 hours"), 2);
    EXPECT_EQ(speedUnitsFromDialog(false, false), 0);
    EXPECT_EQ(speedUnitsFromDialog(true, false), 1);
    EXPECT_EQ(speedUnitsFromDialog(false, true), 2);
}
