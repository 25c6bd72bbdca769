// Every receiver log of the corpus through the intake: no crash, expected counts.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/ScratchFiles.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"

namespace fs = std::filesystem;
using varno::gps::CNmeaDecoder;

namespace {

const fs::path kNmeaCorpus = fs::path(VARNO_CORPUS_DIR) / "nmea";

// The non-empty lines of a file, split at CR and LF alike.
std::vector<std::string> fileLines(const fs::path& p)
{
    std::vector<std::string> lines(1);
    for (char c : varno::test::readBytes(p)) {
        if (c != '\r' && c != '\n')
            lines.back().push_back(c);
        else if (!lines.back().empty())
            lines.emplace_back();
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

// An independent reading of "a checksum-valid sentence of this type from a
// GNSS talker": "$", talker, type, ..., "*", two hex digits.
bool isValid(const std::string& line, const std::string& type)
{
    static const char* const kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ"};
    if (line.size() < 9 || line[0] != '$' || line.compare(3, 3, type) != 0 || line[line.size() - 3] != '*')
        return false;
    bool talker = false;
    for (const char* t : kTalkers)
        talker = talker || line.compare(1, 2, t) == 0;
    if (!talker)
        return false;
    unsigned sum = 0;
    for (size_t i = 1; i < line.size() - 3; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    const std::string digits = line.substr(line.size() - 2);
    return std::isxdigit(static_cast<unsigned char>(digits[0])) &&
           std::isxdigit(static_cast<unsigned char>(digits[1])) &&
           sum == std::strtoul(digits.c_str(), nullptr, 16);
}

CNmeaDecoder decodeFile(const fs::path& p)
{
    CNmeaDecoder d;
    for (const std::string& line : fileLines(p))
        varno::gps::intakeSentence(d, line);
    return d;
}

} // namespace

TEST(NmeaCorpus, EveryFileDecodesWithTheExpectedCounts)
{
    ASSERT_TRUE(fs::is_directory(kNmeaCorpus)) << kNmeaCorpus;
    int files = 0;
    unsigned totalGga = 0;
    for (const auto& e : fs::recursive_directory_iterator(kNmeaCorpus)) {
        if (!e.is_regular_file())
            continue;
        ++files;
        SCOPED_TRACE(e.path().string());
        unsigned gga = 0, rmc = 0, gsv = 0;
        for (const std::string& line : fileLines(e.path())) {
            gga += isValid(line, "GGA");
            rmc += isValid(line, "RMC");
            gsv += isValid(line, "GSV");
        }
        const CNmeaDecoder d = decodeFile(e.path());
        EXPECT_EQ(d.GgaCount, gga);
        EXPECT_EQ(d.RmcCount, rmc);
        EXPECT_LE(d.GsvCount, gsv); // out-of-range message numbers are skipped
        EXPECT_TRUE(std::isfinite(d.Latitude) && std::fabs(d.Latitude) <= 90.0);
        EXPECT_TRUE(std::isfinite(d.Longitude) && std::fabs(d.Longitude) <= 180.0);
        EXPECT_TRUE(std::isfinite(d.Altitude));
        EXPECT_TRUE(std::isfinite(d.VerticalSpeed));
        EXPECT_TRUE(std::isfinite(d.SpeedKnots));
        totalGga += d.GgaCount;
    }
    EXPECT_GT(files, 50);
    EXPECT_GT(totalGga, 2000u);
}

TEST(NmeaCorpus, KnownFinalFixes)
{
    // Last GGA: $GPGGA,225334,4527.458,S,16709.165,E,1,05,2.4,12.5,M,1.1,M,,*5D
    const CNmeaDecoder garmin = decodeFile(kNmeaCorpus / "gpsd" / "garmin48.log");
    EXPECT_NEAR(garmin.Latitude, -(45 + 27.458 / 60), 1e-9);
    EXPECT_NEAR(garmin.Longitude, 167 + 9.165 / 60, 1e-9);
    EXPECT_EQ(std::tie(garmin.GgaHour, garmin.GgaMinute, garmin.GgaSecond), std::make_tuple(22, 53, 34));
    EXPECT_EQ(garmin.FixQuality, 1);
    EXPECT_EQ(garmin.Satellites, 5);
    EXPECT_DOUBLE_EQ(garmin.Hdop, 2.4);
    EXPECT_DOUBLE_EQ(garmin.Altitude, 12.5);

    // A GN-talker receiver: $GNGGA,004024.00,4552.65393,S,17030.00670,E,1,12,0.73,14.8,M,1.8,M,,*56
    const CNmeaDecoder f9p = decodeFile(kNmeaCorpus / "gpsd" / "ublox-zed-f9p-nmea.log");
    EXPECT_NEAR(f9p.Latitude, -(45 + 52.65393 / 60), 1e-9);
    EXPECT_NEAR(f9p.Longitude, 170 + 30.00670 / 60, 1e-9);
    EXPECT_EQ(std::tie(f9p.GgaHour, f9p.GgaMinute, f9p.GgaSecond), std::make_tuple(0, 40, 24));
    EXPECT_DOUBLE_EQ(f9p.Altitude, 14.8);
    EXPECT_EQ(f9p.Satellites, 12);
}
