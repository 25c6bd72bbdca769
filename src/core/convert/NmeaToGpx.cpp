// NMEA log to GPX.
#include "convert/NmeaToGpx.h"

#include <cmath>
#include <optional>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/AsciiCase.h"
#include "base/Numbers.h"
#include "convert/GpxWriter.h"
#include "gps/NmeaField.h"

namespace varno::convert {
namespace {

constexpr double kMetresPerDegreeLat = 111248.4;
constexpr double kMetresPerDegreeLon = 111319.2;
constexpr double kRadiansPerDegree = 0.017453292519943295;

// "ddmm.mmmm" / "dddmm.mmmm", negated by the hemisphere; nullopt when the
// field does not start with its degree digits or reads as no angle.
std::optional<double> nmeaAngle(std::string_view field, std::string_view hemisphere, std::size_t degreeDigits,
                                char negative, double limit)
{
    if (field.size() < degreeDigits)
        return std::nullopt;
    for (std::size_t i = 0; i < degreeDigits; ++i)
        if (field[i] < '0' || field[i] > '9')
            return std::nullopt;
    double value =
        leadingInt(field.substr(0, degreeDigits)) + gps::nmeaNumber(field.substr(degreeDigits)) / 60.0;
    if (!hemisphere.empty() && asciiLower(hemisphere.front()) == asciiLower(negative))
        value = -value;
    if (!std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

// The n-th two-digit pair of a field ("hhmmss", "ddmmyy"); 0 when missing.
int pair(std::string_view field, std::size_t n)
{
    if (field.size() < 2 * n + 2)
        return 0;
    const char a = field[2 * n], b = field[2 * n + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return 0;
    return (a - '0') * 10 + (b - '0');
}

// "$xxRMC" with any talker ("$GPRMC", "$GNRMC", "$GLRMC" ...), letter case
// aside; proprietary sentences ("$P...") are not talkers.
bool isSentence(std::string_view line, std::string_view type)
{
    return line.size() >= 6 && line[0] == '$' && asciiLower(line[1]) != 'p' &&
           equalsNoCase(line.substr(3, 3), type);
}

double distanceM(double lat1, double lon1, double lat2, double lon2)
{
    const double dy = std::fabs(lat1 - lat2) * kMetresPerDegreeLat;
    const double dx = std::fabs(lon1 - lon2) * std::cos(lat2 * kRadiansPerDegree) * kMetresPerDegreeLon;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Report pickNmeaPoints(LineInput& log, const NmeaPickOptions& options, std::vector<NmeaPoint>& points,
                      Progress& progress)
{
    points.clear();
    Report report;
    std::optional<std::pair<double, double>> previous;
    std::optional<double> previousCourse;
    double elevation = 0.0;
    std::string line;
    while (log.next(line, 299)) {
        ++report.linesIn;
        if (!progress.update(log.done(), log.total())) {
            report.status = Report::Status::Cancelled;
            report.message = kCancelled;
            return report;
        }
        if (isSentence(line, "GGA")) {
            if (const std::string_view alt = gps::nmeaFieldView(line, 9); !alt.empty())
                elevation = gps::nmeaNumber(alt);
            continue;
        }
        if (!isSentence(line, "RMC"))
            continue;
        const std::string_view status = gps::nmeaFieldView(line, 2);
        if (status.empty() || asciiLower(status.front()) != 'a')
            continue;
        const auto lat = nmeaAngle(gps::nmeaFieldView(line, 3), gps::nmeaFieldView(line, 4), 2, 'S', 90.0);
        const auto lon = nmeaAngle(gps::nmeaFieldView(line, 5), gps::nmeaFieldView(line, 6), 3, 'W', 180.0);
        if (!lat || !lon)
            continue;
        const std::string_view courseField = gps::nmeaFieldView(line, 8);
        std::optional<double> course;
        if (!courseField.empty())
            course = gps::nmeaNumber(courseField);

        bool take = false;
        if (!previous) {
            take = true;
            previous = {*lat, *lon};
        } else if (options.atDistance &&
                   distanceM(previous->first, previous->second, *lat, *lon) >= options.metres) {
            take = true;
            previous = {*lat, *lon};
        }
        if (course) {
            if (!previousCourse) {
                previousCourse = course;
            } else {
                double change = std::fabs(*course - *previousCourse);
                if (change >= 180.0)
                    change = 360.0 - change;
                if (options.atDirectionChange && change >= options.degrees) {
                    take = true;
                    previousCourse = course;
                    previous = {*lat, *lon};
                }
            }
        }
        if (!take)
            continue;
        const std::string_view time = gps::nmeaFieldView(line, 1);
        const std::string_view date = gps::nmeaFieldView(line, 9);
        NmeaPoint p;
        p.latitude = fmt::sprintf("%.9f", *lat);
        p.longitude = fmt::sprintf("%.9f", *lon);
        p.time = fmt::sprintf("20%2.2d-%2.2d-%2.2dT%2.2d:%2.2d:%2.2dZ", std::max(pair(date, 2), 9),
                              std::max(pair(date, 1), 1), std::max(pair(date, 0), 1), pair(time, 0),
                              pair(time, 1), pair(time, 2));
        p.elevation = fmt::sprintf("%1.1f", elevation);
        p.course = course ? fmt::sprintf("%3.f", *course) : std::string("Unknown");
        p.row = static_cast<int>(points.size()) + 1;
        points.push_back(std::move(p));
    }
    report.linesOut = points.size();
    report.message = fmt::format("{} points from {} lines.", points.size(), report.linesIn);
    return report;
}

bool writeGpxTrack(const std::vector<NmeaPoint>& points, Sink& out)
{
    if (points.empty())
        return false;
    GpxTrackWriter track(out);
    if (!out.write(gpxHeader()) || !out.write(fmt::format("<time>{}</time>\n", points.front().time)) ||
        !track.begin("ACTIVE LOG"))
        return false;
    for (const NmeaPoint& p : points)
        if (!track.point(p.latitude, p.longitude, p.elevation, p.time))
            return false;
    return track.end() && out.write(kGpxFooter);
}

bool writeGpxRoute(const std::vector<NmeaPoint>& points, Sink& out)
{
    if (points.empty())
        return false;
    if (!out.write(gpxHeader()) || !out.write("<rte>\n  <name>New Route</name>\n"))
        return false;
    for (const NmeaPoint& p : points)
        if (!out.write(fmt::sprintf("<rtept lat=\"%s\" lon=\"%s\">\n<name>%5.5d</name>\n</rtept>\n",
                                    p.latitude, p.longitude, p.row)))
            return false;
    return out.write("</rte>\n") && out.write(kGpxFooter);
}

} // namespace varno::convert
