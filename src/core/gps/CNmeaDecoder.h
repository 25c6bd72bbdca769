// The NMEA decoder and the current fix it keeps.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gps/Fix.h"

namespace varno::gps {

// One satellite of the GSV table.
struct GsvSatellite {
    std::uint16_t Prn = 0;
    std::uint16_t Snr = 0;
    std::uint16_t Azimuth = 0;
    std::uint16_t Elevation = 0;
    std::int32_t UsedInFix = 0; // 1 when Prn is in the GSA list of satellites used
};

// Decodes GGA, RMC, GSA, GSV, RMB and ZDA sentences of the GNSS talkers GP, GN,
// GL, GA, GB, BD and GQ into one group of fields per sentence type. The fields
// are a plain record of the last decoded values: they are never reset, and some
// commands write Latitude/Longitude/SpeedKnots/Course directly.
//
// The current fix the rest of the program reads is fix(): Latitude, Longitude,
// GgaHour, GgaMinute, GgaSecond, Altitude (GGA) and SpeedKnots, Course (RMC).
// Latitude exactly 0.0 means no position yet.
//
// Numbers: 8- and 16-bit fields take the value read modulo 2^8 / 2^16, as the
// unsigned fields always have. A latitude/longitude field that does not start
// with its 2 (latitude) or 3 (longitude) degree digits, or that gives a value
// that is not finite or lies outside +-90 / +-180 degrees, leaves the stored
// position unchanged. Any other number field that reads as inf or nan is
// handled as an empty field.
class CNmeaDecoder {
public:
    static constexpr std::size_t kGsvEntries = 36;
    static constexpr std::size_t kGsaPrns = 12;

    // GGA group
    std::uint8_t GgaHour = 0, GgaMinute = 0, GgaSecond = 0; // UTC, fractions dropped
    double Latitude = 0.0;                                  // [deg] north positive; 0.0 = no position yet
    double Longitude = 0.0;                                 // [deg] east positive
    std::uint8_t FixQuality = 0;
    std::uint8_t Satellites = 0; // satellites used
    double Hdop = 0.0;
    double Altitude = 0.0; // [m] antenna altitude as sent
    std::uint32_t GgaCount = 0;
    std::int32_t PrevSecondsOfHour = 0; // minute*60+second of the previous GGA
    double PrevAltitude = 0.0;          // [m]
    double VerticalSpeed = 0.0;         // [m/min] climbing positive

    // RMC group
    std::uint8_t RmcHour = 0, RmcMinute = 0, RmcSecond = 0;
    char RmcStatus = 'V';
    double RmcLatitude = 0.0, RmcLongitude = 0.0; // [deg]
    double SpeedKnots = 0.0;                      // [kn] over ground
    double Course = 0.0;                          // [deg] true
    std::uint8_t Day = 1, Month = 1;
    std::uint16_t Year = 2000;
    double MagneticVariation = 0.0; // [deg] west negative
    std::uint32_t RmcCount = 0;

    // GSA group (its HDOP is GsaHdop, apart from the GGA one)
    char Mode = 'M';
    std::uint8_t FixMode = 1;
    std::array<std::uint16_t, kGsaPrns> SatPrn{}; // 0 = none
    double Pdop = 0.0, GsaHdop = 0.0, Vdop = 0.0;
    std::uint32_t GsaCount = 0;

    // GSV group
    std::uint16_t SatsInView = 0;
    std::array<GsvSatellite, kGsvEntries> GsvSatellites{};
    std::uint32_t GsvCount = 0;

    // RMB group
    char RmbStatus = 'V';
    double CrossTrackError = 0.0;
    char SteerDirection = '?';
    std::string OriginId;                                         // up to 24 characters
    std::string DestinationId;                                    // up to 24 characters
    double DestinationLatitude = 0.0, DestinationLongitude = 0.0; // [deg]
    double RangeToDestination = 0.0, BearingToDestination = 0.0, ClosingVelocity = 0.0;
    char ArrivalStatus = 'V';
    std::uint32_t RmbCount = 0;

    // ZDA group
    std::uint8_t ZdaHour = 0, ZdaMinute = 0, ZdaSecond = 0;
    std::uint8_t ZdaDay = 1, ZdaMonth = 1;
    std::uint16_t ZdaYear = 2000;
    std::uint8_t ZoneHours = 0, ZoneMinutes = 0;
    std::uint32_t ZdaCount = 0;

    // Every sentence handed to DecodeSentence, known or not.
    std::uint32_t SentenceCount = 0;
    // What the last GGA or RMC said of the fix (see receiverHasFix).
    bool ReceiverFix = true;

    // address: the five-character sentence address ("GPRMC"); data: the text
    // after "$GPRMC," to the end of the sentence, "*hh" included. Decodes into
    // the matching group when the address is a known talker followed by a known
    // type; anything else (GLL, proprietary "$P...", unknown talkers) only counts.
    // False, with nothing but the count changed, for a GGA, RMC or RMB whose
    // latitude or longitude is there but is no angle (see readAngle).
    bool DecodeSentence(std::string_view address, std::string_view data);

    // The current fix as the fields above hold it now.
    Fix fix() const;
    // The receiver's last word on its fix: the latest GGA (fix quality other
    // than 0) or RMC (status A), whichever came last, whatever position a
    // sentence saying "no fix" still carries. Before any GGA or RMC (a
    // position set by a command) nothing says otherwise.
    bool receiverHasFix() const { return ReceiverFix; }

private:
    bool decodeGga(std::string_view data);
    bool decodeRmc(std::string_view data);
    bool decodeGsa(std::string_view data);
    bool decodeGsv(std::string_view data);
    bool decodeRmb(std::string_view data);
    bool decodeZda(std::string_view data);
};

} // namespace varno::gps
