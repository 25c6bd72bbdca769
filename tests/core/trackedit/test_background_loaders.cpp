// OSM and GPX data loaded into the track editor, and its SRTM background.
#include <array>
#include <cstdio>
#include <filesystem>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"
#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

const std::string kCorpus = VARNO_CORPUS_DIR;

// "description:points" per entry.
std::vector<std::string> summary(const std::vector<TrackEntry>& entries)
{
    std::vector<std::string> out;
    for (const TrackEntry& e : entries)
        out.push_back(e.description.value_or("(none)") + ":" + std::to_string(e.points.size()));
    return out;
}

// ---- GPX ----

TEST(JosmGpxLoad, OneEntryPerSegmentNamedByItsTrack)
{
    struct Case {
        const char* what;
        std::string gpx;
        std::vector<std::string> entries;
    };
    const std::string head =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    const Case cases[] = {
        {"three segments, later ones Empty",
         head + "<trk><name>GPX:7:highway-primary:name-High St:</name>\n<trkseg>\n<trkpt lat=\"51.5\" "
                "lon=\"-1.5\"/>\n"
                "<trkpt lat=\"51.6\" lon=\"-1.6\"/>\n</trkseg>\n<trkseg><trkpt lat=\"51\" "
                "lon=\"-1\"/></trkseg>\n"
                "<trkseg><trkpt lat=\"52\" lon=\"-2\"/></trkseg></trk>\n"
                "<trk><name>Second</name><trkseg><trkpt lat=\"53\" lon=\"-3\"/></trkseg></trk>\n"
                "<trk><trkseg><trkpt lat=\"54\" lon=\"-4\"/></trkseg></trk></gpx>\n",
         {"GPX:7:highway-primary:name-High St::2", "Empty:1", "Empty:1", "Second:1", "Empty:1"}},
        {"one line, apostrophes, a prefix, point names and waypoints ignored",
         "<g:gpx xmlns:g='http://www.topografix.com/GPX/1/0'><g:wpt lat='1' "
         "lon='1'><g:name>W</g:name></g:wpt>"
         "<g:trk><g:name>A &amp; B</g:name><g:trkseg><g:trkpt lat='51.25' lon='-1.75'><g:name>pt</g:name>"
         "</g:trkpt></g:trkseg></g:trk></g:gpx>",
         {"A & B:1"}},
        {"empty segments and tracks make no entry",
         head + "<trk><name>Gone</name><trkseg></trkseg></trk><trk><name>Kept</name><trkseg></trkseg><trkseg>"
                "<trkpt lat=\"1\" lon=\"2\"/></trkseg></trk><rte><rtept lat=\"3\" lon=\"4\"/></rte></gpx>",
         {"Kept:1"}},
    };
    for (const Case& c : cases) {
        std::vector<TrackEntry> entries;
        const LoadReport r = loadJosmGpxBytes(c.gpx, "t.gpx", entries);
        EXPECT_TRUE(r) << c.what << ": " << r.error.value_or("");
        EXPECT_EQ(summary(entries), c.entries) << c.what;
        for (const TrackEntry& e : entries) {
            EXPECT_TRUE(e.loaded && !e.path && !e.extent.empty) << c.what;
        }
    }
}

// Every GPX file of the corpus loads; loaded points are every trkpt the file
// holds.
TEST(JosmGpxLoad, CorpusFiles)
{
    int loaded = 0;
    for (const auto& f : std::filesystem::recursive_directory_iterator(kCorpus + "/gpx")) {
        if (!f.is_regular_file())
            continue;
        std::vector<TrackEntry> entries;
        const LoadReport r = loadJosmGpx(f.path().string(), entries);
        ASSERT_TRUE(r) << *r.error;
        ++loaded;
        const std::string text = test::readBytes(f.path().string());
        std::size_t trkpts = 0;
        for (std::size_t at = 0; (at = text.find("<trkpt", at)) != std::string::npos; ++at)
            ++trkpts;
        EXPECT_EQ(r.pointsLoaded, trkpts) << f.path();
    }
    EXPECT_GT(loaded, 10);

    // What the OSM converters write loads with its tag texts, one entry a track.
    for (const char* name : {"small.gpx", "small.big.gpx", "osm-data.gpx", "josm-sample.gpx"}) {
        const std::string path = std::string(VARNO_TEST_DATA_DIR) + "/golden/convert/osm/" + name;
        std::vector<TrackEntry> entries;
        const LoadReport r = loadJosmGpx(path, entries);
        ASSERT_TRUE(r) << r.error.value_or("");
        const std::string text = test::readBytes(path);
        std::size_t tracks = 0;
        for (std::size_t at = 0; (at = text.find("<trk>", at)) != std::string::npos; ++at)
            ++tracks;
        EXPECT_EQ(entries.size(), tracks) << name;
        for (const TrackEntry& e : entries)
            EXPECT_TRUE(e.description->starts_with("GPX:") || e.description->starts_with("Node:"))
                << *e.description;
    }
}

// ---- OSM ----

std::vector<TrackEntry> loadOsmText(const std::string& xml, LoadReport* report = nullptr)
{
    std::vector<TrackEntry> entries;
    const LoadReport r = loadOsmBytes(xml, "osm", entries);
    if (report)
        *report = r;
    return entries;
}

// A point without a latitude is reported with its line, and the points
// around it load.
TEST(JosmGpxLoad, APointWithoutALatitudeIsReportedAndTheLoadGoesOn)
{
    const std::string gpx = "<gpx><trk><trkseg><trkpt lat='1' lon='2'/>\n<trkpt lon='2'/>\n"
                            "<trkpt lat='3' lon='4'/></trkseg></trk><trk><trkseg><trkpt lon='5'/>\n"
                            "<trkpt lat='6' lon='7'/></trkseg></trk></gpx>\n";
    std::vector<TrackEntry> entries;
    const LoadReport r = loadJosmGpxBytes(gpx, "t.gpx", entries);
    ASSERT_TRUE(r) << r.error.value_or("");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].points, (std::vector<TrackPoint>{{1, 2}, {3, 4}}));
    EXPECT_EQ(entries[1].points, (std::vector<TrackPoint>{{6, 7}}));
    EXPECT_EQ(r.pointsLoaded, 3u);
    EXPECT_TRUE(r.message.starts_with("Error missing 'lat=' or \" in or before line 2.\nt.gpx:2:"))
        << r.message;
    EXPECT_NE(r.message.find("\n\nError missing 'lat=' or \" in or before line 3.\nt.gpx:3:"),
              std::string::npos);
    EXPECT_TRUE(
        r.message.ends_with("\n\nInput 4 lines processed.\nOutput 3 lines processed.\n\nGPX load complete."))
        << r.message;
}

TEST(OsmLoad, OneEntryPerWayWithItsTagText)
{
    const std::string nodes = "<node id='1' lat='51.0' lon='-1.0'/><node id='2' lat='51.1' lon='-1.1'/>"
                              "<node id='3' lat='51.2' lon='-1.2'/>";
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"created_by first keeps the other tags",
         nodes + "<way id='10'><nd ref='1'/><nd ref='2'/><tag k='created_by' v='JOSM'/><tag k='highway' "
                 "v='primary'/><tag k='name' v='High Street'/></way>",
         {"OSM:10:highway-primary:name-High Street::2"}},
        {"missing references are skipped; a way without any makes no entry",
         nodes +
             "<way id='11'><nd ref='1'/><nd ref='99'/><nd ref='3'/></way><way id='12'><nd ref='98'/></way>"
             "<way id='13'/>",
         {"OSM:11::2"}},
        {"negative ids of new objects",
         "<node id='-1' lat='50' lon='1'/><node id='-2' lat='50.5' lon='1.5'/><way id='-3'><nd ref='-1'/>"
         "<nd ref='-2'/><tag k='waterway' v='river'/></way>",
         {"OSM:-3:waterway-river::2"}},
        {"a node given twice keeps its first position",
         "<node id='1' lat='10' lon='10'/><node id='1' lat='20' lon='20'/><way id='4'><nd ref='1'/></way>",
         {"OSM:4::1"}},
        {"nodes after ways (unsorted) are found",
         "<way id='5'><nd ref='1'/><nd ref='2'/></way><node id='2' lat='51.1' lon='-1.1'/><way id='6'><nd "
         "ref='1'/></way><node id='1' lat='51.0' lon='-1.0'/>",
         {"OSM:5::2", "OSM:6::1"}},
        {"markup in values arrives decoded",
         nodes + "<way id='7'><nd ref='1'/><tag k='name' v='Fish &amp; Chips'/></way>",
         {"OSM:7:name-Fish & Chips::1"}},
        {"a description is cut to 498 characters",
         nodes + "<way id='8'><nd ref='1'/><tag k='note' v='" + std::string(600, 'x') + "'/></way>",
         {"OSM:8:note-" + std::string(498 - 11, 'x') + ":1"}},
    };
    for (const Case& c : cases) {
        LoadReport r;
        const auto entries = loadOsmText("<osm version='0.6'>" + c.body + "</osm>", &r);
        EXPECT_TRUE(r) << c.what << ": " << r.error.value_or("");
        EXPECT_EQ(summary(entries), c.entries) << c.what;
    }
}

TEST(OsmLoad, MillionNodeWay)
{
    std::string xml =
        "<osm version='0.6'><node id='1' lat='51' lon='-1'/><node id='2' lat='52' lon='-2'/><way id='9'>";
    xml.reserve(16u << 20);
    for (int i = 0; i < 1000000; ++i)
        xml += i % 2 ? "<nd ref='1'/>" : "<nd ref='2'/>";
    xml += "</way></osm>";
    LoadReport r;
    const auto entries = loadOsmText(xml, &r);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].points.size(), 1000000u);
    EXPECT_EQ(r.pointsLoaded, 1000000u);
    EXPECT_DOUBLE_EQ(entries[0].extent.maxLatDeg, 52.0);
}

std::uint64_t osmiumCount(const std::string& path, const std::string& what)
{
    std::FILE* p =
        popen(("osmium fileinfo -e -g data.count." + what + " '" + path + "' 2>/dev/null").c_str(), "r");
    char line[64] = {};
    const bool ok = p && std::fgets(line, sizeof line, p);
    if (p)
        pclose(p);
    return ok ? std::strtoull(line, nullptr, 10) : ~0ull;
}

// The same data as .osm, .osm.gz, .osm.bz2 and .osm.pbf (written by osmium
// and gzip/bzip2) gives the same entries.
TEST(OsmLoad, EveryFormatGivesTheSameEntries)
{
    if (std::system("{ command -v osmium && command -v gzip && command -v bzip2; } >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "osmium, gzip or bzip2 is not installed";
    test::ScratchDir dir;
    const std::string xml = dir.file("roads.osm");
    test::writeBytes(xml,
                     "<?xml version='1.0'?>\n<osm version='0.6'>\n<node id='1' lat='51.5' lon='-1.25'/>\n"
                     "<node id='2' lat='51.75' lon='-1.5'/>\n<way id='3'><nd ref='1'/><nd ref='2'/>"
                     "<tag k='highway' v='primary'/><tag k='name' v='High St'/></way>\n</osm>\n");
    std::vector<TrackEntry> want;
    ASSERT_TRUE(loadOsm(xml, want));
    ASSERT_EQ(summary(want), std::vector<std::string>{"OSM:3:highway-primary:name-High St::2"});
    const std::pair<std::string, std::string> forms[] = {
        {"roads.osm.pbf", "osmium cat -O -o '{out}' '{in}'"},
        {"roads.osm.gz", "gzip -c '{in}' > '{out}'"},
        {"roads.osm.bz2", "bzip2 -c '{in}' > '{out}'"},
    };
    for (const auto& [name, command] : forms) {
        const std::string out = dir.file(name);
        std::string line = command;
        line.replace(line.find("{out}"), 5, out);
        line.replace(line.find("{in}"), 4, xml);
        ASSERT_EQ(std::system((line + " 2>/dev/null").c_str()), 0) << line;
        std::vector<TrackEntry> got;
        const LoadReport r = loadOsm(out, got);
        ASSERT_TRUE(r) << r.error.value_or("");
        ASSERT_EQ(summary(got), summary(want)) << name;
        EXPECT_EQ(got[0].points, want[0].points) << name;
    }
}

// Every OSM file of the corpus loads; the objects read are those osmium counts.
TEST(OsmLoad, CorpusFiles)
{
    for (const auto& f : std::filesystem::recursive_directory_iterator(kCorpus + "/osm")) {
        const std::string path = f.path().string();
        if (!f.is_regular_file() || path.ends_with(".gpx"))
            continue;
        std::vector<TrackEntry> entries;
        const LoadReport r = loadOsm(path, entries);
        if (!r) {
            // Only a file osmium refuses too (a malformed regression sample).
            EXPECT_NE(r.error->find(path), std::string::npos) << *r.error;
            if (test::haveTool("osmium"))
                EXPECT_NE(std::system(("osmium fileinfo -e '" + path + "' >/dev/null 2>&1").c_str()), 0)
                    << *r.error;
            else
                EXPECT_NE(path.find("malformed"), std::string::npos) << *r.error;
            continue;
        }
        for (const TrackEntry& e : entries)
            EXPECT_TRUE(!e.points.empty() && e.description->starts_with("OSM:") &&
                        e.description->size() <= 498);
        // (osmium refuses the old 0.5 files the reader mends.)
        const bool cheap = test::haveTool("osmium") && path.ends_with(".osm");
        const std::uint64_t nodes = cheap ? osmiumCount(path, "nodes") : ~0ull;
        if (nodes != ~0ull) {
            EXPECT_EQ(r.linesRead, nodes + osmiumCount(path, "ways")) << path;
        }
        if (path.ends_with("neubrandenburg.osm")) {
            EXPECT_GT(entries.size(), 1000u);
        }
    }
}

using Loader = LoadReport (*)(const std::string&, std::vector<TrackEntry>&, const LoadProgress&);

// Both loaders from a file: progress told in bytes of the file's size, the
// completion message, every load appending, and a cancel keeping quiet.
TEST(BackgroundLoad, FileMessagesProgressAndCancel)
{
    struct Case {
        Loader load;
        std::string name, bytes, message;
        std::vector<std::string> twice;
        TrackPoint last;
    };
    const Case cases[] = {
        {loadJosmGpx,
         "two.gpx",
         "<gpx>\n<trk>\n\n<trkseg>\n<trkpt lat=\"51.5\" lon=\"-0.25\"/>\n<trkpt lat=\"51.75\" "
         "lon=\"-0.5\"/>\n</trkseg>\n</trk>\n</gpx>",
         "Input 9 lines processed.\nOutput 2 lines processed.\n\nGPX load complete.",
         {"Empty:2", "Empty:2"},
         {51.75, -0.5}},
        {loadOsm,
         "small.osm",
         "<?xml version='1.0'?>\n<osm version='0.6'>\n<node id='1' lat='51' lon='-1'/>\n"
         "<node id='2' lat='52' lon='-2'/>\n<way id='3'><nd ref='1'/><nd ref='2'/><nd "
         "ref='7'/></way>\n</osm>\n",
         "Input 3 lines processed.\nOutput 3 lines processed.\n\nOSM load complete.",
         {"OSM:3::2", "OSM:3::2"},
         {52, -2}},
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        test::writeBytes(path, c.bytes);
        std::vector<TrackEntry> entries;
        std::uint64_t told = 0;
        LoadReport r = c.load(path, entries, [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, c.bytes.size()) << c.name;
            told = done;
            return true;
        });
        ASSERT_TRUE(r) << r.error.value_or("");
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(told, c.bytes.size()) << c.name;
        r = c.load(path, entries, {});
        EXPECT_EQ(summary(entries), c.twice);
        EXPECT_EQ(entries[0].points.back(), c.last) << c.name;
        EXPECT_DOUBLE_EQ(entries[0].extent.minLonDeg, c.last.lonDeg) << c.name;

        entries.clear();
        r = c.load(path, entries, [](std::uint64_t, std::uint64_t) { return false; });
        EXPECT_TRUE(r.cancelled && r.message.empty()) << c.name;
    }
}

// Bad files of both loaders: a message naming the file, what came before the
// fault kept.
TEST(BackgroundLoad, BadFilesSayWhyNamingTheFile)
{
    test::ScratchDir dir;
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<a>";
    // Entities that expand ten-fold at each level, used in a name.
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE x [<!ENTITY e0 'aaaaaaaaaa'>";
    for (int i = 1; i < 9; ++i) {
        laughs += fmt::format("<!ENTITY e{} '", i);
        for (int k = 0; k < 10; ++k)
            laughs += fmt::format("&e{};", i - 1);
        laughs += "'>";
    }
    laughs += "]>";
    const std::string laughsGpx =
        laughs + "<gpx><trk><name>&e8;</name><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>";
    const std::string laughsOsm = laughs + "<osm version='0.6'><node id='1' lat='1' lon='1'/><way id='2'><nd "
                                           "ref='1'/><tag k='name' v='&e8;'/></way></osm>";
    struct Bad {
        Loader load;
        std::string name; // written when bytes is not empty
        std::string bytes;
        std::string starts; // the path follows it
        std::size_t kept;
    };
    const Bad bad[] = {
        {loadJosmGpx, "missing.gpx", "", "Error can't open source file\n", 0},
        {loadJosmGpx, "cut.gpx", "<gpx><trk><trkseg><trkpt lat='1' lon='2'/><trkpt lat='3' lo",
         "Error reading the GPX file\n", 1},
        {loadJosmGpx, "nolon.gpx",
         "<gpx><trk><trkseg><trkpt lat='1' lon='2'/>\n<trkpt lat='2'/></trkseg></trk>",
         "Error reading the GPX file\n", 1},
        {loadOsm, "none.osm", "", "Error can't open source file\n", 0},
        {loadOsm, "cut.osm",
         "<osm version='0.6'><node id='1' lat='51' lon='-1'/><way id='3'><nd ref='1'/></way><way id='4'><nd "
         "re",
         "Error reading the OSM file\n", 0}, // the reader hands out whole blocks only
        {loadJosmGpx, "nested.gpx", "<gpx>" + nested, "Error reading the GPX file\n", 0},
        {loadJosmGpx, "laughs.gpx", laughsGpx, "Error reading the GPX file\n", 0},
        {loadOsm, "nested.osm", "<osm version='0.6'>" + nested, "Error reading the OSM file\n", 0},
        {loadOsm, "laughs.osm", laughsOsm, "Error reading the OSM file\n", 0},
    };
    for (const Bad& b : bad) {
        if (!b.bytes.empty())
            test::writeBytes(dir.file(b.name), b.bytes);
        std::vector<TrackEntry> entries;
        const LoadReport r = b.load(dir.file(b.name), entries, {});
        ASSERT_TRUE(r.error) << b.name;
        EXPECT_EQ(r.error->substr(0, b.starts.size() + dir.file(b.name).size()), b.starts + dir.file(b.name));
        EXPECT_EQ(entries.size(), b.kept) << b.name;
        EXPECT_TRUE(r.message.empty());
    }
    std::vector<TrackEntry> entries;
    EXPECT_EQ(loadJosmGpx("", entries).error, "Please choose a JOSM gpx track file.");
    EXPECT_EQ(loadOsm("", entries).error, "Please choose a osm file.");
    for (const Loader load : {Loader(loadJosmGpx), Loader(loadOsm)}) {
        const std::string folder = "Error can't open source file\n" + dir.path().string();
        EXPECT_EQ(load(dir.path().string(), entries, {}).error->substr(0, folder.size()), folder);
    }
}

// ---- SRTM ----

TEST(SrtmBackground, LoadsTilesAndRefusesBadOnes)
{
    for (const char* name : {"N27E086.hgt", "N46W122.hgt", "S33W071.hgt", "S44E170.hgt"}) {
        std::string message;
        const auto layer = loadSrtmLayer(kCorpus + "/hgt/gpxeditor/" + name, message);
        ASSERT_TRUE(layer) << message;
        EXPECT_EQ(layer->tile.size, 1201);
        EXPECT_EQ(layer->divisor, 1.5);
        EXPECT_EQ(layer->firstColumn, 0);
        EXPECT_EQ(layer->firstRow, 0);
    }
    // The background needs no position in the name; a short tile is refused by name.
    test::ScratchDir dir;
    const std::string tile(1201 * 1201 * 2, '\0');
    test::writeBytes(dir.file("tile.hgt"), tile);
    test::writeBytes(dir.file("N51W001.hgt"), tile.substr(1));
    std::string message;
    EXPECT_TRUE(loadSrtmLayer(dir.file("tile.hgt"), message)) << message;
    EXPECT_FALSE(loadSrtmLayer(dir.file("N51W001.hgt"), message));
    EXPECT_NE(message.find(dir.file("N51W001.hgt")), std::string::npos) << message;
}

TEST(SrtmBackground, ColourClassesAndLayout)
{
    SrtmLayer layer;
    layer.tile.size = 1201;
    layer.tile.samples.assign(1201 * 1201, 0);
    struct Sample {
        std::int16_t height;
        std::array<int, 3> rgb;
    };
    const Sample samples[] = {
        {0, {0, 0, 0}},        {1, {255, 255, 255}}, {2, {50, 133, 50}},
        {29, {50, 241, 50}},   {30, {76, 143, 165}}, {255, {151, 218, 21}},
        {286, {76, 143, 165}}, {-32768, {0, 0, 0}},  {-2, {151, 218, 21}},
    };
    // Sample c lands on pixel c / 1.5 + 1, and a later one on the same pixel
    // covers it: pixel 2i + 1 shows column 3i + 1, pixel row 1 shows row 1.
    for (std::size_t i = 0; i < std::size(samples); ++i)
        layer.tile.samples[1201 + i * 3 + 1] = samples[i].height;
    views::Scene scene;
    drawSrtm(scene, layer, 1024, 768);
    const auto rasters = scene.all<views::RasterItem>();
    ASSERT_EQ(rasters.size(), 1u);
    const views::RasterImage& img = *rasters[0]->image;
    EXPECT_EQ(img.width, 802);  // the last column lands on 1200 / 1.5 + 1 = 801
    EXPECT_EQ(img.height, 768); // rows beyond the window are left out
    for (std::size_t i = 0; i < std::size(samples); ++i) {
        const auto [r, g, b] = samples[i].rgb;
        const std::uint32_t want = 0xFF000000u | static_cast<std::uint32_t>(b) << 16 | g << 8 | r;
        EXPECT_EQ(img.pixels[1 * img.width + 1 + 2 * i], want) << samples[i].height;
    }
    // Pixel row and column 0 are never drawn: they show what lies below.
    EXPECT_EQ(img.pixels[0], 0u);
    EXPECT_EQ(img.pixels[5], 0u);

    // The first row and column drawn move the tile up and left.
    layer.firstColumn = 3;
    layer.firstRow = 300;
    layer.divisor = 1.0;
    layer.tile.samples[300 * 1201 + 6] = 1;
    scene = {};
    drawSrtm(scene, layer, 1024, 768);
    const views::RasterImage& moved = *scene.all<views::RasterItem>()[0]->image;
    EXPECT_EQ(moved.width, 1024);
    EXPECT_EQ(moved.pixels[1 * moved.width + 4], 0xFFFFFFFFu); // column 6 at (6 - 3) / 1 + 1
    // A first column past the tile draws nothing.
    layer.firstColumn = 1201;
    scene = {};
    drawSrtm(scene, layer, 1024, 768);
    EXPECT_TRUE(scene.items.empty());
}

} // namespace
} // namespace varno::trackedit
