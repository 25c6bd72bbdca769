// NMEA in: checksum, fields, hand-off filter, intake, decoder groups and bad input; speed and time texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/gps/test_nmea_sentence.h"
#include "base/Numbers.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Fix.h"
#include "gps/HandOffFilter.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "gps/NmeaField.h"
#include "gps/Presentation.h"

using namespace varno::gps;
using varno::test::nmea;

namespace {

constexpr const char* kRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

void feed(CNmeaDecoder& d, std::string_view body)
{
    ASSERT_TRUE(intakeSentence(d, nmea(body))) << body;
}

} // namespace

TEST(NmeaChecksum, AcceptsAndRejects)
{
    // Either case of hex digits passes; trailing characters, "*" without digits, no hex, under 5 fail.
    const std::string body(kRmc, std::strlen(kRmc) - 2);
    for (const std::string& ok : {std::string(kRmc), body + "3b", std::string("$A*41")})
        EXPECT_TRUE(NmeaChecksumOk(ok)) << ok;
    for (const std::string& bad :
         {body + "3C", body + "3B\r", body + "3B  ", std::string("$GPRMC,122517.0,A*"),
          std::string("$GPGGA,1*G0"), std::string(), std::string("$*00")})
        EXPECT_FALSE(NmeaChecksumOk(bad)) << bad;
}

TEST(NmeaChecksum, ControlAndHighBytesMakeASentenceBadEvenWithAMatchingChecksum)
{
    // A serial BREAK arrives as a NUL, which XORs to nothing and ends the number read: "51\0 23.03664"
    // would put the fix 43 km off. Any byte below 0x20 or above 0x7E, anywhere, makes the sentence bad.
    const std::string good = "GPGGA,120000,5123.03664,N,00119.11388,W,1,08,1.0,50.0,M,,M,,";
    CNmeaDecoder d;
    feed(d, good);
    const CNmeaDecoder before = d;
    const std::size_t inLatitude = good.find("23.036");
    for (const char byte : {'\0', '\x01', '\t', '\n', '\r', '\x1b', '\x1f', '\x7f', '\x80', '\xa0', '\xff'}) {
        std::vector<std::string> sentences;
        std::string body = good;
        body.insert(inLatitude, 1, byte); // inside the data
        sentences.push_back(nmea(body));
        body = good;
        body.insert(2, 1, byte); // inside the address
        sentences.push_back(nmea(body));
        body = good;
        body.push_back(byte); // last character before "*"
        sentences.push_back(nmea(body));
        sentences.push_back(std::string(1, byte) + nmea(good).substr(1)); // in place of "$"
        std::string star = nmea(good);
        star[star.size() - 3] = byte; // in place of "*"
        sentences.push_back(star);
        for (const std::string& s : sentences) {
            SCOPED_TRACE(::testing::PrintToString(s));
            EXPECT_FALSE(NmeaChecksumOk(s));
            EXPECT_FALSE(intakeSentence(d, s));
        }
    }
    EXPECT_EQ(std::tie(d.SentenceCount, d.Latitude, d.Longitude),
              std::tie(before.SentenceCount, before.Latitude, before.Longitude));
    // Every printable byte, on either side of the eight-byte steps, still passes.
    std::string printable;
    for (int c = 0x20; c <= 0x7E; ++c)
        printable.push_back(static_cast<char>(c));
    for (std::size_t len = 1; len <= printable.size(); ++len)
        EXPECT_TRUE(NmeaChecksumOk(nmea(printable.substr(0, len)))) << len;
}

TEST(NmeaField, FollowsTheCopyRulesAndCutsToTheBuffer)
{
    const struct {
        std::string_view data;
        int index;
        bool found;
        const char* text; // what the buffer holds afterwards, a stale text cleared
    } cases[] = {
        {"122517.0,A,,N*3B", 0, true, "122517.0"},
        {"122517.0,A,,N*3B", 1, true, "A"},
        {"122517.0,A,,N*3B", 2, false, ""},
        {"122517.0,A,,N*3B", 3, true, "N"}, // stops at "*"
        {"122517.0,A,,N*3B", 4, false, ""},
        {"a,", 1, false, ""},
        {"a,*1F", 1, false, ""},
        {"a*1F,tail", 1, true, "tail"}, // commas count past "*"
        {"a", -1, false, ""},
    };
    for (const auto& c : cases) {
        char buf[25] = "stale";
        EXPECT_EQ(NmeaField(c.data, c.index, buf, sizeof buf), c.found) << c.data << " " << c.index;
        EXPECT_STREQ(buf, c.text) << c.data << " " << c.index;
    }
    // Cut to the buffer, and terminated.
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
    // The quick path for plain decimals must agree bit for bit with the general reader ("|" ends each text).
    const std::string_view all =
        "4527.458|00119.11388|-0.5|+12|-0|0.1|0.3|5.|999999999999999|9999999999999999|"
        "123.4567890123456789|.5|1e3|12E-2|nan|-inf|-|| 7|0x10|3.14abc|17030.00670|"
        "1.7976931348623157e308|";
    for (std::size_t a = 0, b; (b = all.find('|', a)) != all.npos; a = b + 1) {
        const std::string_view t = all.substr(a, b - a);
        const double quick = nmeaNumber(t), general = varno::leadingDouble(t);
        SCOPED_TRACE(std::string(t));
        if (std::isnan(general))
            EXPECT_TRUE(std::isnan(quick));
        else
            EXPECT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << quick << " vs " << general;
    }
}

TEST(NmeaHandOffFilterAndIntake, PassPositionSentencesOfAnyTalkerAndRefuseBrokenOnes)
{
    // Chars 4-5 only: a proprietary "GA" passes, as on the wire.
    const std::vector<std::pair<std::string, bool>> cases = {
        {"$GPGGA,1", true}, {"$GNGGA,1", true},  {"$GPRMC,1", true},    {"$GNRMC,1", true},
        {"$GPGLL,1", true}, {"$GNGLL,1", false}, {"$GPGSV,3,1", false}, {"GPGGA,1", false},
        {"$GPGG", false},   {"", false},         {"$PXXGA,", true},
    };
    for (const auto& [text, passes] : cases)
        EXPECT_EQ(passesHandOffFilter(text), passes) << text;
    // Wrong checksums, short and odd sentences change nothing; data stops at 159 characters.
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
    EXPECT_EQ(std::tie(d.SentenceCount, d.Latitude), std::make_tuple(3u, 0.0));
    // Data stops after 159 characters: the latitude runs on for 135, so the altitude lies beyond.
    const std::string s =
        nmea("GPGGA,120000,5130." + std::string(130, '0') + ",N,00030.0,W,1,08,1.0,50.0,M,,M,,");
    ASSERT_TRUE(intakeSentence(d, s));
    EXPECT_EQ(std::tie(d.Latitude, d.Longitude, d.Altitude), std::make_tuple(51.5, -0.5, 0.0));
}

TEST(NmeaDecoder, EmptyFieldsResetOrKeepAsEachFieldDoes)
{
    CNmeaDecoder d;
    ASSERT_TRUE(intakeSentence(d, kRmc)); // RMC fills its own group, not the fix's position
    EXPECT_EQ(std::tie(d.Day, d.Month, d.Year, d.RmcStatus, d.MagneticVariation, d.Latitude),
              std::make_tuple(17, 6, 2006, 'A', -5.7, 0.0));
    // The RMC date reaches the fix, for the local time in the system's zone.
    EXPECT_EQ(d.fix(), (Fix{{}, 0, 0, 0, 0.0, 0.0, 226.6, 2006, 6, 17}));
    feed(d, "GPRMC,101010,A,5000.0,N,00200.0,E,12.5,90.0,311299,3.0,E,A");
    feed(d, "GPRMC,,,,,,,,,,,,");
    // Time, position and date unchanged; status, speed, course and variation reset.
    EXPECT_EQ(std::tie(d.RmcHour, d.RmcLatitude, d.RmcLongitude, d.Year),
              std::make_tuple(10, 50.0, 2.0, 2099));
    EXPECT_EQ(std::tie(d.RmcStatus, d.SpeedKnots, d.Course, d.MagneticVariation),
              std::make_tuple('V', 0.0, 0.0, 0.0));

    feed(d, "GPGGA,120000,5123.0000,N,00119.0000,W,1,08,1.0,50.0,M,,M,,");
    feed(d, "GPGGA,120001,,,,,0,00,,,M,,M,,");
    EXPECT_EQ(std::tie(d.Latitude, d.Longitude, d.Altitude, d.GgaSecond, d.FixQuality),
              std::make_tuple(51 + 23.0 / 60, -(1 + 19.0 / 60), 50.0, 1, std::uint8_t{0}));
    // A latitude of exactly 0 is no position, whatever the longitude.
    feed(d, "GPGGA,000001,0000.0000,N,00119.0000,W,1,08,1.0,-2.5,M,,M,,");
    EXPECT_EQ(d.fix().position, varno::geo::LatLon{});
}

TEST(NmeaDecoder, EveryGnssTalkerDecodesAndOtherAddressesOnlyCount)
{
    for (std::string talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ"}) {
        CNmeaDecoder d;
        feed(d, talker + "GGA,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M,,M,,");
        feed(d, talker + "RMC,010203,A,4000.0,N,00300.0,W,5.5,180.0,010124,,,A");
        EXPECT_EQ(std::tie(d.Latitude, d.SpeedKnots, d.GgaCount, d.RmcCount),
                  std::make_tuple(40.0, 5.5, 1u, 1u))
            << talker;
    }
    CNmeaDecoder d;
    for (const char* other : {"GPGLL,4000.0,N,00300.0,W,010203,A", "PGRMZ,GGA,4000.0,N",
                              "XXGGA,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M", // unknown talker
                              "gpgga,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M", "GPTXT,01,01,02,GGA"})
        feed(d, other);
    d.DecodeSentence("GPGG", "010203,4000.0,N,00300.0,W");
    d.DecodeSentence("GPGGAX", "010203,4000.0,N,00300.0,W");
    EXPECT_EQ(std::tie(d.SentenceCount, d.GgaCount, d.Latitude), std::make_tuple(7u, 0u, 0.0));
}

TEST(NmeaDecoder, VerticalSpeedWithinAndAcrossTheHour)
{
    CNmeaDecoder d;
    const std::pair<const char*, double> steps[] = {
        {"105930,119.0", 119.0 / 59.5}, // against the initial 0 m at second 0 of the hour
        {"110000,500.0", 119.0 / 59.5}, // top of the hour: seconds fall from 3570 to 0, rate kept
        {"110030,510.0", 20.0},         // m per minute
        {"110100,480.0", -60.0},        {"110100,485.0", -60.0}, // same second: no division, rate kept
    };
    for (const auto& [timeAlt, rate] : steps) {
        const std::string t(timeAlt);
        feed(d, "GPGGA," + t.substr(0, 6) + ",5000.0,N,00100.0,E,1,08,1.0," + t.substr(7) + ",M,,M,,");
        EXPECT_DOUBLE_EQ(d.VerticalSpeed, rate) << t;
    }
    EXPECT_DOUBLE_EQ(d.PrevAltitude, 485.0);
}

TEST(NmeaDecoder, GsaGsvRmbAndZdaFillTheirFieldsWithTheirEmptyFieldRulesAndBadMessageNumbers)
{
    CNmeaDecoder d;
    feed(d, "GPGSA,A,3,04,05,,09,12,,,,,,,,2.5,1.3,2.1");
    EXPECT_EQ(std::tie(d.Mode, d.FixMode, d.SatPrn[2], d.SatPrn[3]), std::make_tuple('A', 3, 0, 9));
    EXPECT_EQ(std::tie(d.Pdop, d.GsaHdop, d.Vdop), std::make_tuple(2.5, 1.3, 2.1));

    feed(d, "GPGSV,3,2,11,09,71,118,44,10,12,300,,12,05,020,30,13,,,");
    EXPECT_EQ(d.SatsInView, 11);
    const auto& s = d.GsvSatellites;
    EXPECT_EQ(std::tie(s[4].Prn, s[4].Elevation, s[4].Azimuth, s[4].Snr), std::make_tuple(9, 71, 118, 44));
    // Used in the fix: the PRN is in the GSA list; an empty SNR reads 0.
    EXPECT_EQ(std::tie(s[4].UsedInFix, s[5].Snr, s[5].UsedInFix, s[6].UsedInFix),
              std::make_tuple(1, 0, 0, 1));
    // The ninth message fills the last four entries.
    feed(d, "GPGSV,8,9,36,33,10,010,11,34,20,020,22,35,30,030,33,36,40,040,44");
    EXPECT_EQ(std::tie(s[32].Prn, s[35].Snr, d.GsvCount), std::make_tuple(33, 44, 2u));

    for (std::string_view body :
         {"GPGSV,9,1,05,07,10,100,20", "GPGSV,0,1,05,07,10,100,20", "GPGSV,8,10,05,07,10,100,20",
          "GPGSV,8,0,05,07,10,100,20", "GPGSV,8,-1,05,07,10,100,20", "GPGSV,,,05,07,10,100,20",
          "GPGSV,8,4294967297,05,07,10,100,20"})
        feed(d, body);
    EXPECT_EQ(std::tie(d.GsvCount, d.SatsInView, s[0].Prn), std::make_tuple(2u, 36, 0));
    EXPECT_EQ(d.SentenceCount, 10u);
    // RMB and ZDA with their empty-field rules.
    feed(d, "GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V");
    EXPECT_EQ(
        std::tie(d.CrossTrackError, d.SteerDirection, d.DestinationId, d.ArrivalStatus, d.ClosingVelocity),
        std::make_tuple(0.66, 'L', std::string("004"), 'V', 0.5));
    EXPECT_DOUBLE_EQ(d.DestinationLongitude, -(123 + 9.57 / 60));
    feed(d, "GPRMB,,,,,,,,,,,,,");
    EXPECT_EQ(std::tie(d.RmbStatus, d.SteerDirection, d.OriginId, d.RangeToDestination),
              std::make_tuple('V', '?', std::string(), 0.0));
    EXPECT_DOUBLE_EQ(d.DestinationLatitude, 49 + 17.24 / 60); // kept

    feed(d, "GPZDA,201530.00,04,07,2002,00,00");
    EXPECT_EQ(std::tie(d.ZdaHour, d.ZdaMinute, d.ZdaSecond, d.ZdaDay, d.ZdaMonth, d.ZdaYear),
              std::make_tuple(20, 15, 30, 4, 7, 2002));
    feed(d, "GPZDA,,,,,,");
    EXPECT_EQ(std::tie(d.ZdaHour, d.ZdaDay, d.ZdaMonth, d.ZdaYear), std::make_tuple(20, 1, 1, 1));
}

TEST(NmeaDecoder, BadNumbersNeverCorruptTheFixAndSmallFieldsWrapLikeTheirTypes)
{
    CNmeaDecoder d;
    feed(d, "GPGGA,120000,5130.0,N,00030.0,W,1,08,1.0,50.0,M,,M,,");
    feed(d, "GPRMC,120000,A,5130.0,N,00030.0,W,10.0,45.0,010124,,,A");
    // A position that is there but is no angle refuses the whole sentence:
    // not ok, and nothing of it (not even the time) reaches the fix.
    for (std::string_view bad : {"nan", "inf", "-inf", "1e308", "-", "+", ".", "N", "99999.9", "-5130.0",
                                 "0x10", "5160.0", "9100.0", "5"}) {
        SCOPED_TRACE(std::string(bad));
        const std::string b(bad);
        EXPECT_FALSE(
            intakeSentence(d, nmea("GPGGA,120001," + b + ",N," + b + ",W,1,08,1.0," + b + ",M,,M,,")));
        EXPECT_EQ(std::tie(d.Latitude, d.Longitude, d.GgaSecond), std::make_tuple(51.5, -0.5, 0));
        EXPECT_TRUE(std::isfinite(d.Altitude) && std::isfinite(d.VerticalSpeed));
        EXPECT_FALSE(intakeSentence(
            d, nmea("GPRMC,120001,A," + b + ",N," + b + ",W," + b + "," + b + ",010124," + b + ",W,A")));
        EXPECT_EQ(std::tie(d.RmcLatitude, d.SpeedKnots), std::make_tuple(51.5, 10.0));
        EXPECT_TRUE(std::isfinite(d.SpeedKnots) && std::isfinite(d.Course) &&
                    std::isfinite(d.MagneticVariation));
    }
    // A receiver without a fix fills the fields as it likes (TN200: "36" and
    // "720" degrees): read as before, the impossible longitude kept.
    feed(d, "GPRMC,120001,V,36000.0000,N,72000.0000,E,0.0,,010124,,");
    feed(d, "GPGGA,120001,36000.0000,N,72000.0000,E,0,00,,,M,,M,,");
    EXPECT_EQ(std::tie(d.Latitude, d.RmcLatitude, d.RmcStatus, d.GgaSecond),
              std::make_tuple(36.0, 36.0, 'V', 1));
    EXPECT_EQ(std::tie(d.Longitude, d.RmcLongitude), std::make_tuple(-0.5, -0.5));
    // inf and nan read as empty fields: RMC's empty rule gives 0.0.
    feed(d, "GPRMC,120002,A,,,,,nan,inf,010124,,,A");
    EXPECT_EQ(std::tie(d.SpeedKnots, d.Course), std::make_tuple(0.0, 0.0));
    // Huge altitudes either side must not turn the climb rate into inf.
    feed(d, "GPGGA,120010,,,,,1,08,1.0,-1.7e308,M,,M,,");
    feed(d, "GPGGA,120020,,,,,1,08,1.0,1.7e308,M,,M,,");
    EXPECT_TRUE(std::isfinite(d.VerticalSpeed));
    // Small unsigned fields wrap like their types. Satellites reads two characters ("-1"), FixQuality one;
    // pairs are read with no calendar check.
    feed(d, "GPGGA,256199,,,,,Z,-1,,,");
    EXPECT_EQ(std::tie(d.GgaHour, d.GgaMinute, d.FixQuality, d.Satellites),
              std::make_tuple(25, 61, static_cast<std::uint8_t>('Z' - '0'), std::uint8_t{255}));
    feed(d, "GPGSV,1,1,70000,1,2,3,4");
    EXPECT_EQ(d.SatsInView, static_cast<std::uint16_t>(70000));
    // A time field shorter than six characters reads 0 for the missing pairs.
    feed(d, "GPGGA,07,,,,,,,,,");
    EXPECT_EQ(std::tie(d.GgaHour, d.GgaMinute, d.GgaSecond), std::make_tuple(7, 0, 0));
}

TEST(NmeaPresentation, SpeedAndTimeTextsAndTheTimeZoneSetup)
{
    // One knot and less shows 0 mph; kph has no such floor; unknown units show mph.
    EXPECT_EQ(speedText(1.0, kSpeedUnitsMph) + speedText(1.1, kSpeedUnitsMph), "0 mph1 mph");
    EXPECT_EQ(speedText(0.9, kSpeedUnitsKph) + speedText(50.0, 7), "2 kph58 mph");
    EXPECT_EQ(speedLabelText(12.6, kSpeedUnitsKnots), "Speed 13 knots");
    // The local hour wraps around midnight.
    const int cases[][3] = {{0, -1, 23},  {23, 2, 1}, {11, -12, 23},
                            {23, 12, 11}, {5, 50, 7}, {5, -50, 3}}; // a zone edited by hand beyond +-12
    for (const auto& [utc, zone, local] : cases)
        EXPECT_EQ(varno::localTimeOfDay({.hour = utc}, zone).hour, local) << utc << " " << zone;
    const Fix fix{.position = {}, .hourUtc = 0, .minuteUtc = 5, .secondUtc = 7};
    EXPECT_EQ(timeText(fix, -1), "Time 23:05:07");
    // The time zone setup clamps numbers but stores other text as typed.
    for (const auto& [typed, stored] : {std::pair{"-13", "-12"}, std::pair{"99999999999", "12"},
                                        std::pair{" 2 hours", " 2 hours"}, std::pair{"abc", "abc"}})
        EXPECT_EQ(timeZoneTextToStore(typed), stored);
    EXPECT_EQ(varno::timeZoneFromText(" 2 hours"), 2);
}
