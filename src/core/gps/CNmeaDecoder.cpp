// The NMEA decoder and the current fix it keeps.
#include "CNmeaDecoder.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "NmeaField.h"
#include "base/Numbers.h"

namespace varno::gps {
namespace {

// The fields of one sentence's data, split once. fields[i] is what
// NmeaField(data, i, buffer, 25) would copy: the text between comma i and
// comma i+1, up to a '*', cut to 24 characters; empty when missing.
class Fields {
public:
    static constexpr int kMax = 20; // GSV reads up to field 18

    explicit Fields(std::string_view data)
    {
        // One pass: a field runs to the next ',', and a '*' ends its text
        // (but not the field: commas after it still count).
        const char* const text = data.data();
        const std::size_t size = data.size();
        std::size_t start = 0, textEnd = std::string_view::npos;
        for (std::size_t i = 0; i <= size; ++i) {
            const char c = i < size ? text[i] : ',';
            if (c == '*' && textEnd == std::string_view::npos) {
                textEnd = i;
            } else if (c == ',') {
                const std::size_t end = textEnd == std::string_view::npos ? i : textEnd;
                fields_[count_++] =
                    std::string_view(text + start, std::min(end - start, kNmeaFieldBufferSize - 1));
                if (count_ == kMax)
                    break;
                start = i + 1;
                textEnd = std::string_view::npos;
            }
        }
    }

    std::string_view operator[](int i) const { return i < count_ ? fields_[i] : std::string_view{}; }

private:
    std::array<std::string_view, kMax> fields_{};
    int count_ = 0;
};

std::uint8_t toU8(int v)
{
    return static_cast<std::uint8_t>(v);
}

std::uint16_t toU16(int v)
{
    return static_cast<std::uint16_t>(v);
}

// Pair k of a "hhmmss" or "ddmmyy" group, each pair read on its own; a pair past
// the end of the field reads 0.
int pairAt(std::string_view field, std::size_t k)
{
    return 2 * k < field.size() ? leadingInt(field.substr(2 * k, 2)) : 0;
}

// A number field; nullopt when empty or when it reads as inf or nan, so that
// such a field takes the empty-field rule.
std::optional<double> number(std::string_view field)
{
    if (field.empty())
        return std::nullopt;
    const double v = nmeaNumber(field);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

double numberOr(std::string_view field, double fallback)
{
    return number(field).value_or(fallback);
}

struct Position {
    std::optional<double> lat, lon;
};

// Latitude and longitude of a sentence; nullopt when either is bad. A
// receiver that says it has no fix may fill the fields with anything (the
// TN200 sends "36000.0000,N,72000.0000,E"): then a bad field is only absent.
std::optional<Position> readPosition(std::string_view lat, std::string_view ns, std::string_view lon,
                                     std::string_view ew, bool noFix)
{
    const NmeaAngle a = nmeaLatitude(lat, ns);
    const NmeaAngle b = nmeaLongitude(lon, ew);
    if ((a.bad || b.bad) && !noFix)
        return std::nullopt;
    return Position{a.value, b.value};
}

void store(const Position& p, double& lat, double& lon)
{
    if (p.lat)
        lat = *p.lat;
    if (p.lon)
        lon = *p.lon;
}

void readTime(std::string_view field, std::uint8_t& h, std::uint8_t& m, std::uint8_t& s)
{
    if (field.empty())
        return;
    h = toU8(pairAt(field, 0));
    m = toU8(pairAt(field, 1));
    s = toU8(pairAt(field, 2));
}

} // namespace

Fix CNmeaDecoder::fix() const
{
    Fix f;
    f.position = geo::LatLon::ofFix(Latitude, Longitude);
    f.hourUtc = GgaHour;
    f.minuteUtc = GgaMinute;
    f.secondUtc = GgaSecond;
    f.altitudeM = Altitude;
    f.speedKnots = SpeedKnots;
    f.courseDeg = Course;
    if (RmcCount > 0 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= 31) {
        f.yearUtc = Year;
        f.monthUtc = Month;
        f.dayUtc = Day;
    }
    return f;
}

bool CNmeaDecoder::DecodeSentence(std::string_view address, std::string_view data)
{
    struct Entry {
        std::string_view type;
        bool (CNmeaDecoder::*decode)(std::string_view);
    };
    static constexpr Entry kDecoders[] = {
        {"GGA", &CNmeaDecoder::decodeGga}, {"GSA", &CNmeaDecoder::decodeGsa},
        {"GSV", &CNmeaDecoder::decodeGsv}, {"RMB", &CNmeaDecoder::decodeRmb},
        {"RMC", &CNmeaDecoder::decodeRmc}, {"ZDA", &CNmeaDecoder::decodeZda},
    };

    ++SentenceCount;
    if (address.size() != 5 || !isGnssTalker(address.substr(0, 2)))
        return true;
    const std::string_view type = address.substr(2);
    for (const Entry& e : kDecoders)
        if (type == e.type)
            return (this->*e.decode)(data);
    return true;
}

bool CNmeaDecoder::decodeGga(std::string_view data)
{
    // $--GGA,hhmmss.ss,llll.ll,a,yyyyy.yy,a,q,nn,h.h,a.a,M,g.g,M,age,ref*hh
    //        0         1       2 3        4 5 6  7   8   9 ...
    const Fields f(data);
    const std::optional<Position> position = readPosition(f[1], f[2], f[3], f[4], f[5] == "0");
    if (!position)
        return false;
    readTime(f[0], GgaHour, GgaMinute, GgaSecond);
    store(*position, Latitude, Longitude);
    if (!f[5].empty())
        FixQuality = toU8(f[5][0] - '0');
    if (!f[6].empty())
        Satellites = toU8(leadingInt(f[6].substr(0, 2)));
    if (auto v = number(f[7]))
        Hdop = *v;
    if (auto v = number(f[8]))
        Altitude = *v;

    // Climb rate over the time since the previous GGA, within the hour: the
    // seconds of the hour fall at the top of the hour, and then the previous
    // rate stays for this sentence.
    const std::int32_t s = GgaMinute * 60 + GgaSecond;
    if (s > PrevSecondsOfHour) {
        const double d = (PrevSecondsOfHour - s) / 60.0;
        if (d != 0.0) {
            const double rate = (PrevAltitude - Altitude) / d;
            if (std::isfinite(rate))
                VerticalSpeed = rate;
        }
    }
    PrevAltitude = Altitude;
    PrevSecondsOfHour = s;
    ReceiverFix = FixQuality != 0;
    ++GgaCount;
    return true;
}

bool CNmeaDecoder::decodeRmc(std::string_view data)
{
    // $--RMC,hhmmss.ss,A,llll.ll,a,yyyyy.yy,a,x.x,x.x,ddmmyy,x.x,a,m*hh
    //        0         1 2       3 4        5 6   7   8      9   10 11
    const Fields f(data);
    const std::optional<Position> position = readPosition(f[2], f[3], f[4], f[5], f[1] == "V");
    if (!position)
        return false;
    readTime(f[0], RmcHour, RmcMinute, RmcSecond);
    RmcStatus = f[1].empty() ? 'V' : f[1][0];
    store(*position, RmcLatitude, RmcLongitude);
    SpeedKnots = numberOr(f[6], 0.0);
    Course = numberOr(f[7], 0.0);
    if (!f[8].empty()) {
        Day = toU8(pairAt(f[8], 0));
        Month = toU8(pairAt(f[8], 1));
        Year = toU16(pairAt(f[8], 2) + 2000);
    }
    MagneticVariation = numberOr(f[9], 0.0);
    if (!f[10].empty() && f[10][0] == 'W')
        MagneticVariation = -MagneticVariation;
    ReceiverFix = RmcStatus == 'A';
    ++RmcCount;
    return true;
}

bool CNmeaDecoder::decodeGsa(std::string_view data)
{
    // $--GSA,a,x,xx,xx,xx,xx,xx,xx,xx,xx,xx,xx,xx,xx,p.p,h.h,v.v*hh
    //        0 1 2 .......................................13 14  15  16
    const Fields f(data);
    if (!f[0].empty())
        Mode = f[0][0];
    if (!f[1].empty())
        FixMode = toU8(f[1][0] - '0');
    for (std::size_t i = 0; i < kGsaPrns; ++i) {
        const std::string_view prn = f[2 + static_cast<int>(i)];
        SatPrn[i] = prn.empty() ? 0 : toU16(leadingInt(prn.substr(0, 2)));
    }
    Pdop = numberOr(f[14], 0.0);
    GsaHdop = numberOr(f[15], 0.0);
    Vdop = numberOr(f[16], 0.0);
    ++GsaCount;
    return true;
}

bool CNmeaDecoder::decodeGsv(std::string_view data)
{
    // $--GSV,t,m,nn,pp,ee,aaa,ss,pp,ee,aaa,ss,pp,ee,aaa,ss,pp,ee,aaa,ss*hh
    //        0 1 2  3  4  5   6  7  8  9   10 11 12 13  14 15 16 17  18
    const Fields f(data);
    const int total = leadingInt(f[0]);
    const int message = leadingInt(f[1]);
    // Nine messages of four satellites fill the 36 entries exactly.
    if (total < 1 || total > 8 || message < 1 || message > 9)
        return true; // passed over, as it always was
    if (!f[2].empty())
        SatsInView = toU16(leadingInt(f[2]));
    for (int i = 0; i < 4; ++i) {
        GsvSatellite& sat = GsvSatellites[static_cast<std::size_t>((message - 1) * 4 + i)];
        sat.Prn = toU16(leadingInt(f[3 + 4 * i]));
        sat.Elevation = toU16(leadingInt(f[4 + 4 * i]));
        sat.Azimuth = toU16(leadingInt(f[5 + 4 * i]));
        sat.Snr = toU16(leadingInt(f[6 + 4 * i]));
        sat.UsedInFix = 0;
        if (sat.Prn != 0)
            for (std::uint16_t used : SatPrn)
                if (used == sat.Prn)
                    sat.UsedInFix = 1;
    }
    ++GsvCount;
    return true;
}

bool CNmeaDecoder::decodeRmb(std::string_view data)
{
    // $--RMB,A,x.x,a,c--c,c--c,llll.ll,a,yyyyy.yy,a,x.x,x.x,x.x,A,m*hh
    //        0 1   2 3    4    5       6 7        8 9   10  11  12
    const Fields f(data);
    const std::optional<Position> destination = readPosition(f[5], f[6], f[7], f[8], f[0] == "V");
    if (!destination)
        return false;
    RmbStatus = f[0].empty() ? 'V' : f[0][0];
    CrossTrackError = numberOr(f[1], 0.0);
    SteerDirection = f[2].empty() ? '?' : f[2][0];
    OriginId.assign(f[3]);
    DestinationId.assign(f[4]);
    store(*destination, DestinationLatitude, DestinationLongitude);
    RangeToDestination = numberOr(f[9], 0.0);
    BearingToDestination = numberOr(f[10], 0.0);
    ClosingVelocity = numberOr(f[11], 0.0);
    ArrivalStatus = f[12].empty() ? 'V' : f[12][0];
    ++RmbCount;
    return true;
}

bool CNmeaDecoder::decodeZda(std::string_view data)
{
    // $--ZDA,hhmmss.ss,dd,mm,yyyy,zh,zm*hh
    //        0         1  2  3    4  5
    const Fields f(data);
    readTime(f[0], ZdaHour, ZdaMinute, ZdaSecond);
    ZdaDay = f[1].empty() ? 1 : toU8(leadingInt(f[1]));
    ZdaMonth = f[2].empty() ? 1 : toU8(leadingInt(f[2]));
    ZdaYear = f[3].empty() ? 1 : toU16(leadingInt(f[3]));
    ZoneHours = toU8(leadingInt(f[4]));
    ZoneMinutes = toU8(leadingInt(f[5]));
    ++ZdaCount;
    return true;
}

} // namespace varno::gps
