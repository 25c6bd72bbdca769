// Start-up time windows: normalising stored times and the window test across midnight.
#include <gtest/gtest.h>

#include "session/TimeWindow.h"

using namespace varno::session;

TEST(TimeWindow, NormalisationPadsAndUnifiesSeparators)
{
    // Only one zero is added: an empty or very short text stays short and so
    // never matches a real "hh:mm" time.
    EXPECT_EQ(normaliseTime(""), "0");
    EXPECT_EQ(normaliseTime("7"), "07");
    EXPECT_EQ(normaliseTime("7.30"), "07:30");
    EXPECT_EQ(normaliseTime(" 06-45 "), "06:45");
}

TEST(TimeWindow, BothEndsAreInsideAndAWindowMayCrossMidnight)
{
    const struct {
        const char *start, *end;
        std::vector<const char*> inside, outside;
    } windows[] = {
        {"07:00", "09:00", {"07:00", "09:00", "08:15"}, {"06:59", "09:01"}},
        {"22.00", "02:30", {"23:15", "01:00", "22:00", "00:00", "02:30"}, {"12:00", "02:31", "21:59"}},
        // The defaults are empty texts; they must not switch anything on.
        {"", "", {}, {"00:00", "12:00", "23:59"}}};
    for (const auto& w : windows) {
        const std::string start = normaliseTime(w.start), end = normaliseTime(w.end);
        for (const char* t : w.inside)
            EXPECT_TRUE(inTimeWindow(t, start, end)) << t << " in " << w.start << ".." << w.end;
        for (const char* t : w.outside)
            EXPECT_FALSE(inTimeWindow(t, start, end)) << t << " in " << w.start << ".." << w.end;
    }
}
