// Checksum, field extraction, the hand-off filter and the intake step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/gps/test_nmea_sentence.h"
#include "base/Numbers.h"
#include "gps/CNmeaDecoder.h"
#include "gps/HandOffFilter.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "gps/NmeaField.h"

using namespace varno::gps;
using varno::test::nmea;

namespace {
constexpr const char* kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
}

TEST(NmeaChecksum, AcceptsAndRejects)
{
    EXPECT_TRUE(NmeaChecksumOk(kRmc));
    EXPECT_TRUE(
        NmeaChecksumOk("$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3b"));
    EXPECT_FALSE(
        NmeaChecksumOk("$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3C"));
    EXPECT_FALSE(NmeaChecksumOk(std::string(kRmc) + "\r")); // trailing characters
    EXPECT_FALSE(NmeaChecksumOk(std::string(kRmc) + "  "));
    EXPECT_FALSE(NmeaChecksumOk("$GPRMC,122517.0,A*")); // "*" without digits
    EXPECT_FALSE(NmeaChecksumOk("$GPGGA,1*G0"));        // not hex
    EXPECT_FALSE(NmeaChecksumOk(""));
    EXPECT_FALSE(NmeaChecksumOk("$*00")); // shorter than 5
    EXPECT_TRUE(NmeaChecksumOk("$A*41")); // shortest passing text
}

TEST(NmeaField, FollowsTheCopyRules)
{
    char buf[25];
    const std::string_view data = "122517.0,A,,N*3B";
    EXPECT_TRUE(NmeaField(data, 0, buf, sizeof buf));
    EXPECT_STREQ(buf, "122517.0");
    EXPECT_TRUE(NmeaField(data, 1, buf, sizeof buf));
    EXPECT_STREQ(buf, "A");
    std::strcpy(buf, "stale");
    EXPECT_FALSE(NmeaField(data, 2, buf, sizeof buf)); // empty
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(NmeaField(data, 3, buf, sizeof buf)); // stops at "*"
    EXPECT_STREQ(buf, "N");
    std::strcpy(buf, "stale");
    EXPECT_FALSE(NmeaField(data, 4, buf, sizeof buf)); // past the end
    EXPECT_STREQ(buf, "");
    EXPECT_FALSE(NmeaField("a,", 1, buf, sizeof buf));       // comma then end
    EXPECT_FALSE(NmeaField("a,*1F", 1, buf, sizeof buf));    // starts with "*"
    EXPECT_TRUE(NmeaField("a*1F,tail", 1, buf, sizeof buf)); // commas count past "*"
    EXPECT_STREQ(buf, "tail");
    EXPECT_FALSE(NmeaField("a", -1, buf, sizeof buf));
}

TEST(NmeaField, CutsToTheBuffer)
{
    char buf[25];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_TRUE(NmeaField("x,ABCDEFGHIJKLMNOPQRSTUVWXYZ,y", 1, buf, sizeof buf));
    EXPECT_STREQ(buf, "ABCDEFGHIJKLMNOPQRSTUVWX"); // 24 characters, terminated
    char one[1] = {'x'};
    EXPECT_FALSE(NmeaField("abc", 0, one, 1)); // room for the terminator only
    EXPECT_EQ(one[0], '\0');
    char none[1] = {'x'};
    EXPECT_FALSE(NmeaField("abc", 0, none, 0));
    EXPECT_EQ(none[0], 'x'); // nothing written
    EXPECT_EQ(nmeaFieldView("x,ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1), "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST(NmeaField, NumbersReadExactlyAsAtof)
{
    // The quick path for plain decimals must agree bit for bit with the general reader.
    for (std::string_view t : {"4527.458",
                               "00119.11388",
                               "-0.5",
                               "+12",
                               "-0",
                               "0.1",
                               "0.3",
                               "5.",
                               "999999999999999",
                               "9999999999999999",
                               "123.4567890123456789",
                               ".5",
                               "1e3",
                               "12E-2",
                               "nan",
                               "-inf",
                               "-",
                               "",
                               " 7",
                               "0x10",
                               "3.14abc",
                               "17030.00670",
                               "1.7976931348623157e308"}) {
        const double quick = nmeaNumber(t), general = varno::leadingDouble(t);
        SCOPED_TRACE(std::string(t));
        if (std::isnan(general))
            EXPECT_TRUE(std::isnan(quick));
        else
            EXPECT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << quick << " vs " << general;
    }
}

TEST(NmeaHandOffFilter, PassesPositionSentencesOfAnyTalker)
{
    // Chars 4-5 only: a proprietary "GA" passes, as on the wire.
    const std::vector<std::pair<std::string, bool>> cases = {
        {"$GPGGA,1", true}, {"$GNGGA,1", true},  {"$GPRMC,1", true},    {"$GNRMC,1", true},
        {"$GPGLL,1", true}, {"$GNGLL,1", false}, {"$GPGSV,3,1", false}, {"GPGGA,1", false},
        {"$GPGG", false},   {"", false},         {"$PXXGA,", true},
    };
    for (const auto& [text, passes] : cases)
        EXPECT_EQ(passesHandOffFilter(text), passes) << text;
}

TEST(NmeaIntake, WrongChecksumShortAndOddSentencesChangeNothing)
{
    CNmeaDecoder d;
    std::string bad = nmea("GPGGA,130000,4000.0,S,00100.0,E,2,09,2.0,70.0,M,,M,,");
    bad.back() = bad.back() == '0' ? '1' : '0';
    for (std::string_view s : std::initializer_list<std::string_view>{
             bad, "", "$", "*", "$*", "$GP", "$GPGGA", "$GPGGA*", "\x01\xff\x80\x00\x13"})
        EXPECT_FALSE(intakeSentence(d, s));
    EXPECT_EQ(d.SentenceCount, 0u);
    // Valid checksums on sentences too short to carry an address or data.
    EXPECT_TRUE(intakeSentence(d, "$A*41"));
    EXPECT_TRUE(intakeSentence(d, nmea("GPGGA")));
    EXPECT_TRUE(intakeSentence(d, nmea("GPGGA,")));
    EXPECT_EQ(d.SentenceCount, 3u);
    EXPECT_EQ(d.Latitude, 0.0);
}

TEST(NmeaIntake, DataStopsAfter159Characters)
{
    CNmeaDecoder d;
    // The latitude field runs on for 135 characters, so the altitude field
    // starts beyond the 159 characters of data the decoder sees.
    const std::string longLat = "5130." + std::string(130, '0');
    const std::string s = nmea("GPGGA,120000," + longLat + ",N,00030.0,W,1,08,1.0,50.0,M,,M,,");
    ASSERT_GT(s.size(), 180u);
    ASSERT_TRUE(intakeSentence(d, s));
    EXPECT_DOUBLE_EQ(d.Latitude, 51.5);
    EXPECT_DOUBLE_EQ(d.Longitude, -0.5);
    EXPECT_EQ(d.Altitude, 0.0);
}
