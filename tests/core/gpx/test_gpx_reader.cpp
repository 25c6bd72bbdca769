// The streaming GPX reader: what it hands out for real-world shapes of GPX, and the
// errors it gives for files that are not GPX.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fmt/format.h>
#include <sstream>
#include <string>

#include "core/base/ScratchFiles.h"
#include "gpx/GpxReader.h"
#include "views/Trail.h"

using namespace varno;
namespace fs = std::filesystem;

namespace {

// Writes every callback as one short line.
struct Trace final : gpx::Visitor {
    std::string out;
    std::size_t points = 0;
    std::size_t stopAfter = 0; // 0: never
    static std::string pt(const gpx::Point& p)
    {
        std::string s = fmt::format("{:.6f},{:.6f}", p.latDeg, p.lonDeg);
        if (p.eleMetres)
            s += fmt::format(" e{:g}", *p.eleMetres);
        if (!p.time.empty())
            s += " t" + p.time;
        if (!p.name.empty())
            s += " n" + p.name;
        return s;
    }
    void waypoint(const gpx::Point& p) override { out += "W " + pt(p) + "\n", ++points; }
    void routeStart(const std::string& n) override { out += "R " + n + "\n"; }
    void routePoint(const gpx::Point& p) override { out += "r " + pt(p) + "\n", ++points; }
    void routeEnd() override { out += "/R\n"; }
    void trackStart(const std::string& n) override { out += "T " + n + "\n"; }
    void segmentStart() override { out += "S\n"; }
    void trackPoint(const gpx::Point& p) override { out += "t " + pt(p) + "\n", ++points; }
    void segmentEnd() override { out += "/S\n"; }
    void trackEnd() override { out += "/T\n"; }
    bool wantsStop() const override { return stopAfter != 0 && points >= stopAfter; }
};

struct Case {
    const char* what;
    const char* gpx;
    const char* trace;
};

const Case kShapes[] = {
    {"GPX 1.1, default namespace, two segments, ele and time",
     R"(<?xml version="1.0"?>
<gpx version="1.1" creator="x" xmlns="http://www.topografix.com/GPX/1/1">
 <metadata><name>not a track</name></metadata>
 <trk><name>Morning</name>
  <trkseg><trkpt lat="51.5" lon="-0.25"><ele>12.5</ele><time>2020-01-01T10:00:00Z</time></trkpt>
   <trkpt lat=" 51.6 " lon="+0.5"/></trkseg>
  <trkseg><trkpt lat="1e1" lon="2"><ele>high</ele></trkpt></trkseg>
 </trk></gpx>)",
     "T Morning\nS\nt 51.500000,-0.250000 e12.5 t2020-01-01T10:00:00Z\nt 51.600000,0.500000\n/S\n"
     "S\nt 10.000000,2.000000\n/S\n/T\n"},
    {"GPX 1.0 without a namespace, all on one line, route and waypoint",
     R"(<gpx version="1.0"><wpt lat="1" lon="2"><name>A &amp; B</name></wpt><rte><name>Way</name><rtept lat="3" lon="4"><name>p1</name></rtept><rtept lat="5" lon="6"/></rte></gpx>)",
     "W 1.000000,2.000000 nA & B\nR Way\nr 3.000000,4.000000 np1\nr 5.000000,6.000000\n/R\n"},
    {"prefixed GPX namespace, extensions and foreign elements passed over",
     R"(<g:gpx xmlns:g="http://www.topografix.com/GPX/1/0" xmlns:x="urn:other">
 <g:trk><g:trkseg>
  <g:trkpt lat="1" lon="1"><g:extensions><g:trkpt lat="9" lon="9"/></g:extensions></g:trkpt>
  <x:trkpt lat="8" lon="8"/>
 </g:trkseg></g:trk>
 <x:rte><g:rtept lat="7" lon="7"/></x:rte>
 <g:extensions><g:wpt lat="6" lon="6"/></g:extensions></g:gpx>)",
     "T \nS\nt 1.000000,1.000000\n/S\n/T\n"},
    {"namespaces hold where they are declared",
     R"(<gpx xmlns="http://www.topografix.com/GPX/1/1" xmlns:o="urn:other" xmlns:g="urn:other">
 <trk xmlns="urn:other"><trkseg><trkpt lat="9" lon="9"/></trkseg></trk>
 <trk><trkseg xmlns:g="http://www.topografix.com/GPX/1/1"><g:trkpt lat="1" lon="2"/><o:trkpt lat="8" lon="8"/></trkseg></trk>
 <o:wpt lat="7" lon="7"/><g:wpt lat="6" lon="6"/>
 <wpt xmlns:o="http://www.topografix.com/GPX/1/0" lat="3" lon="4"><o:name>inner</o:name></wpt></gpx>)",
     "T \nS\nt 1.000000,2.000000\n/S\n/T\nW 3.000000,4.000000 ninner\n"},
    {"empty route and track still start and end; a name after the first point stays out",
     R"(<gpx><rte/><trk><name>Empty</name></trk><rte><rtept lat="1" lon="2"/><name>late</name></rte></gpx>)",
     "R \n/R\nT Empty\n/T\nR \nr 1.000000,2.000000\n/R\n"},
    {"UTF-16 with a byte order mark is read as the XML declaration says",
     "", // filled in by the test
     "W 1.000000,2.000000\n"},
};

TEST(GpxReader, HandsOutWhatTheFileHolds)
{
    for (const Case& c : kShapes) {
        SCOPED_TRACE(c.what);
        std::string bytes = c.gpx;
        if (bytes.empty()) {
            const std::string ascii =
                R"(<?xml version="1.0" encoding="UTF-16"?><gpx><wpt lat="1" lon="2"/></gpx>)";
            bytes = "\xFF\xFE";
            for (char ch : ascii)
                bytes += std::string{ch, '\0'};
        }
        Trace t;
        auto err = gpx::readBytes(bytes, t, "mem.gpx");
        EXPECT_FALSE(err) << err->text();
        EXPECT_EQ(t.out, c.trace);
    }
}

TEST(GpxReader, RefusesWhatIsNotGpxNamingTheFileAndLine)
{
    const std::string deep = std::string("<gpx>") + [] {
        std::string s;
        for (int i = 0; i < 300; ++i)
            s += "<a>";
        return s;
    }();
    const struct {
        std::string bytes;
        const char* message; // a part of it
        std::uint64_t line;
    } cases[] = {
        {"", "no element found", 1},
        {"hello, world", "syntax error", 1},
        {"<html><body/></html>", "not a GPX file: the document element is <html>", 1},
        {"<gpx>\n<trk><trkseg><trkpt lat=\"1\" lon=\"2\"/>", "no element found", 2},
        {"<gpx>\n<wpt lat=\"1\"/></gpx>", "point without a lon attribute", 2},
        {"<gpx><trk xmlns:g=\"urn:g\"/>\n<g:wpt lat=\"1\" lon=\"2\"/></gpx>", "unbound prefix", 2},
        {"<gpx><wpt lat=\"x\" lon=\"2\"/></gpx>", "lat that is not a number", 1},
        {"<gpx><wpt lat=\"nan\" lon=\"2\"/></gpx>", "lat that is not a number", 1},
        {"<gpx><wpt lat=\"90.5\" lon=\"2\"/></gpx>", "lat beyond 90 degrees", 1},
        {"<gpx>\n<trk><trkseg><trkpt lat=\"1\" lon=\"1e308\"/>", "lon beyond 180 degrees", 2},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
         "\"&a;&a;&a;&a;&a;&a;\">]>\n<gpx><wpt lat=\"1\" lon=\"2\"><name>&b;</name></wpt></gpx>",
         "entity declarations are not accepted", 2},
        {deep, "elements nested deeper than 256", 1},
        {"<gpx><wpt lat=\"1\" lon=\"2\"/>\0</gpx>", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 60));
        Trace t;
        auto err = gpx::readBytes(c.bytes, t, "bad.gpx");
        ASSERT_TRUE(err);
        EXPECT_NE(err->message.find(c.message), std::string::npos) << err->message;
        EXPECT_EQ(err->line, c.line);
        EXPECT_TRUE(err->text().starts_with("bad.gpx:")) << err->text();
        EXPECT_FALSE(err->stopped);
    }
}

TEST(GpxReader, ReadsFilesInBlocksAndRefusesWhatIsNoFile)
{
    test::ScratchDir dir;
    // Large enough that points straddle the reader's block boundaries.
    std::string body = "<gpx><trk><trkseg>\n";
    for (int i = 0; i < 5000; ++i)
        body += fmt::format("<trkpt lat=\"{}.{:05}\" lon=\"-{}.5\"><ele>{}</ele></trkpt>\n", i % 80, i,
                            i % 170, i);
    body += "</trkseg></trk></gpx>\n";
    const std::string path = dir.file("big.gpx");
    test::writeBytes(path, body);

    Trace fromFile, fromStream;
    EXPECT_FALSE(gpx::readFile(path, fromFile));
    std::istringstream in(body);
    EXPECT_FALSE(gpx::read(in, fromStream, "stream"));
    EXPECT_EQ(fromFile.points, 5000u);
    EXPECT_EQ(fromFile.out, fromStream.out);
    EXPECT_NE(fromFile.out.find("t 39.049990,-69.500000 e4999\n"), std::string::npos);

    Trace stopping;
    stopping.stopAfter = 3;
    auto stopped = gpx::readFile(path, stopping);
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(stopped->stopped);
    EXPECT_EQ(stopping.points, 3u);

    for (const std::string& bad : {dir.path().string(), dir.file("missing.gpx")}) {
        Trace t;
        auto err = gpx::readFile(bad, t);
        ASSERT_TRUE(err);
        EXPECT_EQ(err->line, 0u);
        EXPECT_TRUE(err->text().starts_with(bad + ": ")) << err->text();
    }
}

// Counts gpsbabel finds of one kind of point, or -1 without gpsbabel.
long gpsbabelCount(const std::string& path, const char* keep, const char* drop)
{
    const std::string cmd =
        fmt::format("gpsbabel {} -i gpx -f '{}' -x nuketypes,{} -o csv -F - 2>/dev/null", keep, path, drop);
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    long lines = 0;
    for (int ch; (ch = std::fgetc(p)) != EOF;)
        lines += ch == '\n';
    return pclose(p) == 0 ? lines : -1;
}

// Every waypoint, route point and track point gpsbabel finds, and the trail loaded from them.
TEST(GpxReader, FindsThePointsGpsbabelFindsInRealFiles)
{
    if (std::system("gpsbabel -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gpsbabel is not installed";
    const fs::path folder = fs::path(VARNO_CORPUS_DIR) / "gpx";
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.path().extension() != ".gpx")
            continue;
        SCOPED_TRACE(e.path().string());
        struct Counts final : gpx::Visitor {
            long wpt = 0, rte = 0, trk = 0;
            void waypoint(const gpx::Point&) override { ++wpt; }
            void routePoint(const gpx::Point&) override { ++rte; }
            void trackPoint(const gpx::Point&) override { ++trk; }
        } n;
        auto err = gpx::readFile(e.path().string(), n);
        ASSERT_FALSE(err) << err->text();
        EXPECT_EQ(n.wpt, gpsbabelCount(e.path().string(), "", "tracks,routes"));
        EXPECT_EQ(n.trk, gpsbabelCount(e.path().string(), "-t", "waypoints,routes"));
        EXPECT_EQ(n.rte, gpsbabelCount(e.path().string(), "-r", "waypoints,tracks"));
        // The trail view's trail is every route and track point.
        const views::TrailLoad trail = views::loadTrail(e.path().string());
        EXPECT_FALSE(trail.error);
        EXPECT_EQ(static_cast<long>(trail.trail.pointCount()), n.trk + n.rte);
        ++files;
    }
    EXPECT_GE(files, 10);
}

} // namespace
