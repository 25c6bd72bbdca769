// Height tiles: names and sizes, the tracer on small grids, isolines on small grids and against
// gdal_contour on a corpus tile.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <algorithm>
#include <sstream>

#include "base/Numbers.h"
#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"
#include "srtm/Contours.h"
#include "srtm/HgtTile.h"

using namespace varno;
using namespace varno::srtm;
using namespace varno::test;

namespace {

HgtTile grid(int size, std::vector<std::int16_t> samples)
{
    HgtTile t;
    t.size = size;
    t.samples = std::move(samples);
    t.originLat = 51;
    t.originLon = -2;
    return t;
}

struct Line {
    int level;
    std::vector<std::pair<double, double>> points; // lon, lat
};

// The tracks of a GPX text with their <ele> as the level.
std::vector<Line> lines(const std::string& gpx)
{
    std::vector<Line> out;
    for (std::size_t at = 0; (at = gpx.find("<trkseg>", at)) != std::string::npos;) {
        const std::size_t end = gpx.find("</trkseg>", at);
        Line line{0, {}};
        for (std::size_t p = at; (p = gpx.find("<trkpt lat=\"", p)) < end; ++p) {
            const double lat = leadingDouble(std::string_view(gpx).substr(p + 12, 20));
            const double lon = leadingDouble(std::string_view(gpx).substr(gpx.find("lon=\"", p) + 5, 20));
            line.level = std::atoi(gpx.c_str() + gpx.find("<ele>", p) + 5);
            line.points.emplace_back(lon, lat);
        }
        out.push_back(std::move(line));
        at = end;
    }
    return out;
}

double length(const std::vector<std::pair<double, double>>& pts)
{
    double sum = 0;
    for (std::size_t i = 1; i < pts.size(); ++i)
        sum += std::hypot(pts[i].first - pts[i - 1].first, pts[i].second - pts[i - 1].second);
    return sum;
}

} // namespace

TEST(HgtTile, NamesAndSizes)
{
    struct Case {
        const char* name;
        std::optional<std::pair<double, double>> origin;
    } cases[] = {
        {"/data/N51W002.hgt", std::pair{51.0, -2.0}},
        {"s33w071.hgt", std::pair{-33.0, -71.0}},
        {"C:\\SRTM\\S44E170.hgt", std::pair{-44.0, 170.0}},
        {"tile.hgt", std::nullopt},
        {"N5xW002.hgt", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(originFromName(c.name), c.origin) << c.name;

    std::string message;
    EXPECT_FALSE(parseHgt(std::string(1000, '\0'), "short.hgt", message));
    EXPECT_NE(message.find("short.hgt is not an SRTM height file: 1000 bytes"), std::string::npos) << message;
    ScratchDir dir;
    writeBytes(dir.file("N10E020.hgt"), std::string(1201 * 1201 * 2 + 2, '\0'));
    EXPECT_FALSE(readHgt(dir.file("N10E020.hgt"), message));
    EXPECT_NE(message.find("N10E020.hgt"), std::string::npos);
    std::string bytes(1201 * 1201 * 2, '\0');
    bytes[0] = '\x80'; // void in the corner
    bytes[3] = '\x64'; // 100 m next to it
    const auto tile = parseHgt(bytes, "N10E020.hgt", message);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->at(0, 0), kVoid);
    EXPECT_EQ(tile->at(0, 1), 100);
    EXPECT_EQ(tile->originLat, 10.0);
}

TEST(Isolines, RingsSaddlesVoidsAndLevels)
{
    varno::Progress progress;
    // A peak: one closed ring per level, first point repeated at the end.
    convert::StringSink peak;
    ASSERT_TRUE(isolines(grid(3, {0, 0, 0, 0, 100, 0, 0, 0, 0}), peak, 40, progress).ok());
    auto found = lines(peak.text);
    ASSERT_EQ(found.size(), 2u); // 40 and 80; 0 touches nothing below it
    EXPECT_EQ(found[0].level, 40);
    EXPECT_EQ(found[0].points.size(), 5u);
    EXPECT_EQ(found[0].points.front(), found[0].points.back());
    // 40 lies 0.4 of the way from an edge sample to the peak, half a degree away.
    for (const auto& [lon, lat] : found[0].points)
        EXPECT_NEAR(std::fabs(lon + 1.5) + std::fabs(lat - 51.5), 0.3, 1e-6);

    // A void corner takes out the cells around it only; the line ends there.
    convert::StringSink holed;
    ASSERT_TRUE(isolines(grid(3, {kVoid, 0, 0, 0, 100, 0, 0, 0, 0}), holed, 60, progress).ok());
    found = lines(holed.text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].points.size(), 4u);
    EXPECT_NE(found[0].points.front(), found[0].points.back());

    // A saddle cell splits into two lines, not a cross.
    convert::StringSink saddle;
    ASSERT_TRUE(isolines(grid(2, {100, 0, 0, 100}), saddle, 60, progress).ok());
    found = lines(saddle.text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].points.size(), 2u);

    // Cancel between levels leaves a cancelled report.
    varno::Progress cancel([](std::uint64_t, std::uint64_t) { return false; });
    convert::StringSink cancelled;
    EXPECT_EQ(isolines(grid(3, {0, 0, 0, 0, 100, 0, 0, 0, 0}), cancelled, 10, cancel).status,
              varno::Report::Status::Cancelled);
}

TEST(ContourTracer, FollowsCellsNearEachLevel)
{
    // A slope rising 10 m a column: the cells of a level form one column.
    std::vector<std::int16_t> samples;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            samples.push_back(static_cast<std::int16_t>(10 * c));
    convert::StringSink out;
    varno::Progress progress;
    TracerOptions options;
    options.eraseRange = 0;
    options.contourRange = 3;
    options.step = 20;
    const varno::Report r = traceContours(grid(5, samples), out, options, progress);
    ASSERT_TRUE(r.ok());
    // Levels 0 and 20 (the top level, 40, is not traced); level 0 has no number.
    EXPECT_NE(out.text.find("<name>GPX-1</name>"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("<name>GPX20-2</name>"), std::string::npos);
    const auto found = lines(out.text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].points.size(), 5u);
    for (const auto& [lon, lat] : found[1].points)
        EXPECT_NEAR(lon, -2.0 + 2.0 / 4, 1e-9);
    EXPECT_EQ(r.message, "Step 2 of 2.\n\nWrote 2 track segments.\n\nContour extraction is complete.");

    // The erasing step counts the cells of flat ground.
    convert::StringSink flat;
    options.eraseRange = 3;
    std::vector<std::int16_t> plain(25, 0);
    plain[24] = 40;
    const varno::Report f = traceContours(grid(5, plain), flat, options, progress);
    EXPECT_EQ(f.notes, "Step 1 of 2.\n\nErasedCount 21");

    // With a wide range the marker of used cells is itself within reach of the
    // low levels; the trace must still end.
    std::vector<std::int16_t> low(16, -190);
    low[15] = 0;
    convert::StringSink wide;
    options.eraseRange = 0;
    options.contourRange = 150;
    EXPECT_TRUE(traceContours(grid(4, low), wide, options, progress).ok());
}

TEST(Isolines, CorpusTileMatchesGdalContour)
{
    if (!haveTool("gdal_contour"))
        GTEST_SKIP() << "gdal_contour is not installed";
    const std::string tilePath = std::string(VARNO_CORPUS_DIR) + "/hgt/gpxeditor/N46W122.hgt";
    std::string message;
    const auto tile = readHgt(tilePath, message);
    ASSERT_TRUE(tile) << message;
    convert::StringSink out;
    varno::Progress progress;
    ASSERT_TRUE(isolines(*tile, out, 100, progress).ok());
    std::map<int, double> ours, theirs;
    for (const Line& l : lines(out.text))
        ours[l.level] += length(l.points);

    ScratchDir dir;
    const std::string csv = dir.file("c.csv");
    int status = -1;
    commandOutput("gdal_contour -q -i 100 -a ELEV -f CSV -lco GEOMETRY=AS_WKT '" + tilePath + "' '" + csv +
                      "'",
                  &status);
    ASSERT_EQ(status, 0);
    const std::string text = readBytes(csv);
    // One feature a line: "LINESTRING (x y,x y,...)",ID,ELEV (quoted or not).
    std::istringstream rows(text);
    for (std::string row; std::getline(rows, row);) {
        const auto open = row.find("LINESTRING (");
        const auto close = row.find(')', open);
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::vector<std::pair<double, double>> pts;
        std::istringstream in(row.substr(open + 12, close - open - 12));
        for (std::string pair; std::getline(in, pair, ',');) {
            const std::size_t first = pair.find_first_not_of(' ');
            const std::size_t space = pair.find(' ', first);
            pts.emplace_back(leadingDouble(pair.substr(first)), leadingDouble(pair.substr(space + 1)));
        }
        std::string elev = row.substr(row.rfind(',') + 1);
        elev.erase(std::remove(elev.begin(), elev.end(), '"'), elev.end());
        theirs[static_cast<int>(std::lround(leadingDouble(elev)))] += length(pts);
    }
    ASSERT_FALSE(theirs.empty()) << text.substr(0, 300);
    std::vector<int> ourLevels, theirLevels;
    double ourTotal = 0, theirTotal = 0;
    for (const auto& [level, len] : ours) {
        ourLevels.push_back(level);
        ourTotal += len;
    }
    for (const auto& [level, len] : theirs) {
        theirLevels.push_back(level);
        theirTotal += len;
    }
    EXPECT_EQ(ourLevels, theirLevels);
    EXPECT_NEAR(ourTotal / theirTotal, 1.0, 0.02) << ourTotal << " vs " << theirTotal;
}
