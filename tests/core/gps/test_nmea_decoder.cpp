// CNmeaDecoder: the field groups, the empty-field rules and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "core/gps/test_nmea_sentence.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"

using varno::gps::CNmeaDecoder;
using varno::gps::intakeSentence;
using varno::test::nmea;

namespace {

void feed(CNmeaDecoder& d, std::string_view body)
{
    ASSERT_TRUE(intakeSentence(d, nmea(body))) << body;
}

} // namespace

TEST(NmeaDecoder, RmcExampleSentenceFillsOnlyItsGroup)
{
    CNmeaDecoder d;
    ASSERT_TRUE(
        intakeSentence(d, "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B"));
    EXPECT_EQ(std::tie(d.RmcHour, d.RmcMinute, d.RmcSecond), std::make_tuple(12, 25, 17));
    EXPECT_EQ(std::tie(d.Day, d.Month, d.Year), std::make_tuple(17, 6, 2006));
    EXPECT_EQ(d.RmcStatus, 'A');
    EXPECT_DOUBLE_EQ(d.RmcLatitude, 51 + 23.03664 / 60);
    EXPECT_DOUBLE_EQ(d.RmcLongitude, -(1 + 19.11388 / 60));
    EXPECT_DOUBLE_EQ(d.Course, 226.6);
    EXPECT_DOUBLE_EQ(d.MagneticVariation, -5.7);
    EXPECT_EQ(d.RmcCount, 1u);
    EXPECT_EQ(d.Latitude, 0.0); // the GGA group is untouched
    EXPECT_EQ(d.GgaCount, 0u);
}

TEST(NmeaDecoder, FixTakesPositionTimeAndAltitudeFromGgaSpeedAndCourseFromRmc)
{
    using varno::geo::LatLon;
    using varno::gps::Fix;
    const double lat = 51 + 23.0 / 60, lon = -(1 + 19.0 / 60);
    const struct {
        std::vector<std::string_view> bodies;
        Fix want;
    } cases[] = {
        {{}, Fix{}},
        // RMC alone: moving, but no position yet (its own position is not the fix's).
        {{"GPRMC,101010,A,5000.0,N,00200.0,E,12.5,90.0,311299,3.0,E,A"}, Fix{{}, 0, 0, 0, 0.0, 12.5, 90.0}},
        {{"GPGGA,120005.75,5123.0000,N,00119.0000,W,1,08,1.0,50.0,M,,M,,",
          "GNRMC,101010,A,5000.0,N,00200.0,E,3.5,271.0,311299,3.0,E,A"},
         Fix{LatLon(lat, lon), 12, 0, 5, 50.0, 3.5, 271.0}},
        // A latitude of exactly 0 is no position, whatever the longitude.
        {{"GPGGA,000001,0000.0000,N,00119.0000,W,1,08,1.0,-2.5,M,,M,,"}, Fix{{}, 0, 0, 1, -2.5, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        CNmeaDecoder d;
        for (std::string_view body : c.bodies)
            feed(d, body);
        EXPECT_EQ(d.fix(), c.want) << (c.bodies.empty() ? "" : c.bodies.front());
    }
}

TEST(NmeaDecoder, EmptyFieldsResetOrKeepAsEachFieldDoes)
{
    CNmeaDecoder d;
    feed(d, "GPRMC,101010,A,5000.0,N,00200.0,E,12.5,90.0,311299,3.0,E,A");
    feed(d, "GPRMC,,,,,,,,,,,,");
    // Time, position and date unchanged; status, speed, course and variation reset.
    EXPECT_EQ(std::tie(d.RmcHour, d.RmcLatitude, d.RmcLongitude, d.Year),
              std::make_tuple(10, 50.0, 2.0, 2099));
    EXPECT_EQ(std::tie(d.RmcStatus, d.SpeedKnots, d.Course, d.MagneticVariation),
              std::make_tuple('V', 0.0, 0.0, 0.0));

    feed(d, "GPGGA,120000,5123.0000,N,00119.0000,W,1,08,1.0,50.0,M,,M,,");
    feed(d, "GPGGA,120001,,,,,0,00,,,M,,M,,");
    EXPECT_DOUBLE_EQ(d.Latitude, 51 + 23.0 / 60);
    EXPECT_DOUBLE_EQ(d.Longitude, -(1 + 19.0 / 60));
    EXPECT_DOUBLE_EQ(d.Altitude, 50.0);
    EXPECT_EQ(d.GgaSecond, 1);
    EXPECT_EQ(d.FixQuality, 0);
}

TEST(NmeaDecoder, EveryGnssTalkerDecodes)
{
    for (std::string talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ"}) {
        CNmeaDecoder d;
        feed(d, talker + "GGA,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M,,M,,");
        feed(d, talker + "RMC,010203,A,4000.0,N,00300.0,W,5.5,180.0,010124,,,A");
        feed(d, talker + "GSA,A,3,01,02,,,,,,,,,,,1.5,1.0,1.1");
        feed(d, talker + "GSV,1,1,01,01,45,090,40");
        feed(d, talker + "RMB,A,0.1,L,ORIG,DEST,4000.0,N,00300.0,W,1.0,90.0,5.0,V");
        feed(d, talker + "ZDA,010203,01,01,2024,00,00");
        SCOPED_TRACE(talker);
        EXPECT_DOUBLE_EQ(d.Latitude, 40.0);
        EXPECT_DOUBLE_EQ(d.Longitude, -3.0);
        EXPECT_DOUBLE_EQ(d.SpeedKnots, 5.5);
        EXPECT_EQ(std::tie(d.GgaCount, d.RmcCount, d.GsaCount, d.GsvCount, d.RmbCount, d.ZdaCount),
                  std::make_tuple(1u, 1u, 1u, 1u, 1u, 1u));
        EXPECT_EQ(d.SentenceCount, 6u);
    }
}

TEST(NmeaDecoder, OtherAddressesOnlyCount)
{
    CNmeaDecoder d;
    feed(d, "GPGLL,4000.0,N,00300.0,W,010203,A");
    feed(d, "GNGLL,4000.0,N,00300.0,W,010203,A");
    feed(d, "PGRMZ,GGA,4000.0,N");                              // proprietary
    feed(d, "XXGGA,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M"); // unknown talker
    feed(d, "gpgga,010203,4000.0,N,00300.0,W,1,07,1.0,10.0,M"); // case matters
    feed(d, "GPTXT,01,01,02,GGA");
    d.DecodeSentence("GPGG", "010203,4000.0,N,00300.0,W");
    d.DecodeSentence("GPGGAX", "010203,4000.0,N,00300.0,W");
    EXPECT_EQ(d.SentenceCount, 8u);
    EXPECT_EQ(d.GgaCount, 0u);
    EXPECT_EQ(d.Latitude, 0.0);
}

TEST(NmeaDecoder, VerticalSpeedWithinAndAcrossTheHour)
{
    CNmeaDecoder d;
    // First GGA: measured against the initial 0 m at second 0 of the hour.
    feed(d, "GPGGA,105930,5000.0,N,00100.0,E,1,08,1.0,119.0,M,,M,,");
    EXPECT_DOUBLE_EQ(d.VerticalSpeed, 119.0 / 59.5);
    // Top of the hour: the seconds of the hour fall from 3570 to 0, rate kept.
    feed(d, "GPGGA,110000,5000.0,N,00100.0,E,1,08,1.0,500.0,M,,M,,");
    EXPECT_DOUBLE_EQ(d.VerticalSpeed, 119.0 / 59.5);
    // 30 s later, 10 m higher: 20 m per minute climbing.
    feed(d, "GPGGA,110030,5000.0,N,00100.0,E,1,08,1.0,510.0,M,,M,,");
    EXPECT_DOUBLE_EQ(d.VerticalSpeed, 20.0);
    feed(d, "GPGGA,110100,5000.0,N,00100.0,E,1,08,1.0,480.0,M,,M,,");
    EXPECT_DOUBLE_EQ(d.VerticalSpeed, -60.0);
    // Same second again: no division, rate kept, previous altitude follows.
    feed(d, "GPGGA,110100,5000.0,N,00100.0,E,1,08,1.0,485.0,M,,M,,");
    EXPECT_DOUBLE_EQ(d.VerticalSpeed, -60.0);
    EXPECT_DOUBLE_EQ(d.PrevAltitude, 485.0);
}

TEST(NmeaDecoder, GsaAndGsvFillTheSatelliteTable)
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
    EXPECT_EQ(s[32].Prn, 33);
    EXPECT_EQ(s[35].Snr, 44);
    EXPECT_EQ(d.GsvCount, 2u);
}

TEST(NmeaDecoder, GsvOutOfRangeMessageNumbersAreIgnored)
{
    CNmeaDecoder d;
    feed(d, "GPGSV,2,1,05,01,10,100,20,02,10,100,20,03,10,100,20,04,10,100,20");
    for (std::string_view body :
         {"GPGSV,9,1,05,07,10,100,20", "GPGSV,0,1,05,07,10,100,20", "GPGSV,8,10,05,07,10,100,20",
          "GPGSV,8,0,05,07,10,100,20", "GPGSV,8,-1,05,07,10,100,20", "GPGSV,,,05,07,10,100,20",
          "GPGSV,8,4294967297,05,07,10,100,20"})
        feed(d, body);
    EXPECT_EQ(d.GsvCount, 1u);
    EXPECT_EQ(d.SatsInView, 5);
    EXPECT_EQ(d.GsvSatellites[0].Prn, 1);
    EXPECT_EQ(d.SentenceCount, 8u);
}

TEST(NmeaDecoder, RmbAndZdaWithTheirEmptyFieldRules)
{
    CNmeaDecoder d;
    feed(d, "GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V");
    EXPECT_EQ(std::tie(d.CrossTrackError, d.SteerDirection, d.DestinationId, d.ArrivalStatus),
              std::make_tuple(0.66, 'L', std::string("004"), 'V'));
    EXPECT_DOUBLE_EQ(d.DestinationLongitude, -(123 + 9.57 / 60));
    EXPECT_DOUBLE_EQ(d.ClosingVelocity, 0.5);
    feed(d, "GPRMB,,,,,,,,,,,,,");
    EXPECT_EQ(std::tie(d.RmbStatus, d.SteerDirection, d.OriginId), std::make_tuple('V', '?', std::string()));
    EXPECT_DOUBLE_EQ(d.DestinationLatitude, 49 + 17.24 / 60); // kept
    EXPECT_EQ(d.RangeToDestination, 0.0);

    feed(d, "GPZDA,201530.00,04,07,2002,00,00");
    EXPECT_EQ(std::tie(d.ZdaHour, d.ZdaMinute, d.ZdaSecond), std::make_tuple(20, 15, 30));
    EXPECT_EQ(std::tie(d.ZdaDay, d.ZdaMonth, d.ZdaYear), std::make_tuple(4, 7, 2002));
    feed(d, "GPZDA,,,,,,");
    EXPECT_EQ(d.ZdaHour, 20);
    EXPECT_EQ(std::tie(d.ZdaDay, d.ZdaMonth, d.ZdaYear), std::make_tuple(1, 1, 1));
}

TEST(NmeaDecoder, BadNumbersNeverCorruptTheFix)
{
    CNmeaDecoder d;
    feed(d, "GPGGA,120000,5130.0,N,00030.0,W,1,08,1.0,50.0,M,,M,,");
    feed(d, "GPRMC,120000,A,5130.0,N,00030.0,W,10.0,45.0,010124,,,A");
    for (std::string_view bad :
         {"nan", "inf", "-inf", "1e308", "-", "+", ".", "N", "99999.9", "-5130.0", "0x10"}) {
        SCOPED_TRACE(std::string(bad));
        const std::string b(bad);
        feed(d, "GPGGA,120001," + b + ",N," + b + ",W,1,08,1.0," + b + ",M,,M,,");
        EXPECT_DOUBLE_EQ(d.Latitude, 51.5);
        EXPECT_DOUBLE_EQ(d.Longitude, -0.5);
        EXPECT_TRUE(std::isfinite(d.Altitude));
        EXPECT_TRUE(std::isfinite(d.VerticalSpeed));
        feed(d, "GPRMC,120001,A," + b + ",N," + b + ",W," + b + "," + b + ",010124," + b + ",W,A");
        EXPECT_DOUBLE_EQ(d.RmcLatitude, 51.5);
        EXPECT_TRUE(std::isfinite(d.SpeedKnots));
        EXPECT_TRUE(std::isfinite(d.Course));
        EXPECT_TRUE(std::isfinite(d.MagneticVariation));
    }
    // inf and nan read as empty fields: RMC's empty rule gives 0.0.
    feed(d, "GPRMC,120002,A,,,,,nan,inf,010124,,,A");
    EXPECT_EQ(d.SpeedKnots, 0.0);
    EXPECT_EQ(d.Course, 0.0);
    // Huge altitudes either side must not turn the climb rate into inf.
    feed(d, "GPGGA,120010,,,,,1,08,1.0,-1.7e308,M,,M,,");
    feed(d, "GPGGA,120020,,,,,1,08,1.0,1.7e308,M,,M,,");
    EXPECT_TRUE(std::isfinite(d.VerticalSpeed));
}

TEST(NmeaDecoder, SmallUnsignedFieldsWrapLikeTheirTypes)
{
    CNmeaDecoder d;
    // Satellites reads two characters ("-1"), FixQuality one digit-like character.
    feed(d, "GPGGA,256199,,,,,Z,-1,,,");
    // Pairs are read as they come, no calendar check.
    EXPECT_EQ(std::tie(d.GgaHour, d.GgaMinute), std::make_tuple(25, 61));
    EXPECT_EQ(d.FixQuality, static_cast<std::uint8_t>('Z' - '0'));
    EXPECT_EQ(d.Satellites, 255);
    feed(d, "GPGSV,1,1,70000,1,2,3,4");
    EXPECT_EQ(d.SatsInView, static_cast<std::uint16_t>(70000));
    // A time field shorter than six characters reads 0 for the missing pairs.
    feed(d, "GPGGA,07,,,,,,,,,");
    EXPECT_EQ(std::tie(d.GgaHour, d.GgaMinute, d.GgaSecond), std::make_tuple(7, 0, 0));
}
