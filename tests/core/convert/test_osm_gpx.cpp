// OSM to GPX on hand-made files (missing and odd ids, area, exclusions, POIs, names), the
// corpus against osmium's way count, and bounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include <fmt/format.h>

#include "convert/OsmToGpx.h"
#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"
#include "osm/OsmReader.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

namespace {

std::string osmXml(const std::string& body)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6' generator='test'>\n"
           "<bounds minlat='51.0' minlon='-1.5' maxlat='51.5' maxlon='-1.0'/>\n" +
           body + "</osm>\n";
}

// The track names and their point counts, in order.
std::vector<std::string> tracks(const std::string& gpx)
{
    std::vector<std::string> out;
    const std::regex trk("<name>([^<]*)</name>\\n<trkseg>\\n((?:<trkpt[^]*?</trkpt>\\n)*)");
    for (auto it = std::sregex_iterator(gpx.begin(), gpx.end(), trk); it != std::sregex_iterator(); ++it) {
        const std::string points = (*it)[2];
        std::size_t n = 0;
        for (std::size_t at = 0; (at = points.find("<trkpt", at)) != std::string::npos; ++at)
            ++n;
        out.push_back((*it)[1].str() + " #" + std::to_string(n));
    }
    return out;
}

Report convertXml(const std::string& xml, const OsmGpxOptions& options, std::string& gpx)
{
    ScratchDir dir;
    const std::string path = dir.file("in.osm");
    writeBytes(path, xml);
    StringSink out;
    Progress progress;
    Report r = convertOsmToGpx(path, out, options, progress);
    gpx = out.text;
    return r;
}

} // namespace

TEST(OsmToGpx, WaysNodesAreaAndExclusions)
{
    const std::string nodes = "<node id='1' lat='51.1' lon='-1.1'/>\n"
                              "<node id='-2' lat='51.2' lon='-1.2'><tag k='created_by' v='JOSM'/></node>\n"
                              "<node id='9000000000000' lat='51.3' lon='-1.0'>"
                              "<tag k='amenity' v='pub'/><tag k='name' v='Bob&apos;s &amp; Co'/></node>\n"
                              "<node id='4' lat='52.5' lon='-1.3'><tag k='place' v='town'/></node>\n";
    const std::string ways =
        "<way id='10'><nd ref='1'/><nd ref='-2'/><nd ref='77'/>"
        "<tag k='highway' v='primary'/><tag k='name' v='High Street'/>"
        "<tag k='created_by' v='x'/></way>\n"
        "<way id='11'><tag k='highway' v='service'/></way>\n"
        "<way id='12'><nd ref='9000000000000'/><nd ref='4'/><tag k='waterway' v='river'/></way>\n"
        "<way id='13'><nd ref='55'/><tag k='landuse' v='farm'/></way>\n";
    OsmGpxOptions plain;
    OsmGpxOptions big;
    big.big = true;
    big.area = {51.5, -1.5, 51.0, -1.0}; // the right edge is inside
    big.includePoi = true;
    big.exclusions = {"waterway"};
    OsmGpxOptions all = big;
    all.exclusions.clear();
    struct Case {
        const char* what;
        std::string xml;
        OsmGpxOptions options;
        std::vector<std::string> expected;
    } cases[] = {
        {"every way with a known node; missing nodes are dropped, created_by left out",
         osmXml(nodes + ways),
         plain,
         {"GPX:10:highway-primary:name-High Street: #2", "GPX:12:waterway-river: #2"}},
        {"area: nodes outside are dropped; exclusions; POIs after the ways",
         osmXml(nodes + ways),
         big,
         {"GPX:10:highway-primary:name-High Street: #2",
          "Node:9000000000000:amenity-pub:name-Bob&apos;s &amp; Co: #1"}},
        {"with no exclusions every way is written",
         osmXml(nodes + ways),
         all,
         {"GPX:10:highway-primary:name-High Street: #2", "GPX:12:waterway-river: #1",
          "Node:9000000000000:amenity-pub:name-Bob&apos;s &amp; Co: #1"}},
        {"an empty file", osmXml(""), plain, {}},
    };
    for (const Case& c : cases) {
        std::string gpx;
        const Report r = convertXml(c.xml, c.options, gpx);
        ASSERT_TRUE(r.ok()) << c.what << ": " << r.message;
        EXPECT_EQ(tracks(gpx), c.expected) << c.what;
        EXPECT_EQ(gpx.rfind("</gpx>\n"), gpx.size() - 7) << c.what;
    }
    std::string gpx;

    // Names of Latin-1 letters in one byte, declared so.
    OsmGpxOptions latin = all;
    latin.translateUnicode = true;
    convertXml(osmXml("<node id='1' lat='51.1' lon='-1.1'/>\n<way id='5'><nd ref='1'/>"
                      "<tag k='name' v='Stra\xc3\x9f\x65 \xe2\x82\xac'/></way>\n"),
               latin, gpx);
    EXPECT_EQ(gpx.substr(0, 44), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n");
    EXPECT_NE(gpx.find("<name>GPX:5:name-Stra\xdf\x65 \xe2\x82\xac:</name>"), std::string::npos);

    // Not OSM, truncated, missing: a message naming the file, no document.
    for (const std::string& bad : {std::string("not xml at all"), osmXml(nodes).substr(0, 120)}) {
        const Report r = convertXml(bad, plain, gpx);
        EXPECT_EQ(r.status, Report::Status::Failed) << bad;
        EXPECT_NE(r.message.find("in.osm"), std::string::npos) << r.message;
    }
    Progress progress;
    StringSink out;
    EXPECT_NE(convertOsmToGpx("/nonexistent/x.osm", out, plain, progress).message.find("/nonexistent/x.osm"),
              std::string::npos);
}

TEST(OsmToGpx, CorpusWaysAndFormats)
{
    if (!haveTool("osmium"))
        GTEST_SKIP() << "osmium-tool is not installed";
    const std::string corpus = std::string(VARNO_CORPUS_DIR) + "/osm";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const std::string path = entry.path().string();
        if (path.find(".osm") == std::string::npos)
            continue;
        StringSink out;
        Progress progress;
        const Report r = convertOsmToGpx(path, out, {}, progress);
        // The malformed one (a latitude of 550) is refused by name.
        if (path.find("malformed") != std::string::npos) {
            EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
            continue;
        }
        int status = 0;
        const std::string opl = commandOutput("osmium cat -f opl -t way '" + path + "' 2>/dev/null", &status);
        if (status != 0) {
            // osmium refuses the old API file, which we read.
            EXPECT_TRUE(r.ok()) << path << ": " << r.message;
            EXPECT_GT(r.linesOut, 0u) << path;
            continue;
        }
        ASSERT_TRUE(r.ok()) << path << ": " << r.message;
        std::size_t ways = 0;
        for (char c : opl)
            ways += c == '\n';
        // Every way of these files has at least one node in the file.
        EXPECT_EQ(r.linesOut, ways) << path;
    }
    const auto bounds = osm::readBounds(corpus + "/josm/neubrandenburg.osm");
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->bottom, 53.527248, 1e-6);
    EXPECT_NEAR(bounds->right, 13.3195496, 1e-6);
    EXPECT_FALSE(osm::readBounds(corpus + "/josm/empty.osm"));
}

TEST(OsmToGpx, GetBoundsReadsTheOlderBoundBoxLineInTheFirstHundred)
{
    const std::string box = "<bound box='51.25,-1.5,51.75,-1.0' origin='0.5'/>\n";
    std::string filler;
    for (int i = 0; i < 97; ++i)
        filler += "<!-- line -->\n";
    ScratchDir dir;
    writeBytes(dir.file("a.osm"), "<?xml version='1.0'?>\n<osm version='0.5'>\n" + box + "</osm>\n");
    const auto bounds = osm::readBounds(dir.file("a.osm"));
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->bottom, 51.25);
    EXPECT_EQ(bounds->left, -1.5);
    EXPECT_EQ(bounds->top, 51.75);
    EXPECT_EQ(bounds->right, -1.0);
    // Packed, as extracts of that time were handed out, it is read the same.
    for (const char* pack : {"gzip", "bzip2"}) {
        const std::string packed = dir.file(std::string("a.osm.") + (pack[0] == 'g' ? "gz" : "bz2"));
        ASSERT_EQ(std::system(fmt::format("{} -c '{}' > '{}'", pack, dir.file("a.osm"), packed).c_str()), 0);
        const auto unpacked = osm::readBounds(packed);
        ASSERT_TRUE(unpacked) << pack;
        EXPECT_EQ(unpacked->top, 51.75) << pack;
    }
    // Line 100 is still read; line 101 is not.
    const std::string head = "<?xml version='1.0'?>\n<osm version='0.5'>\n";
    writeBytes(dir.file("b.osm"), head + filler + box + "</osm>\n");
    EXPECT_TRUE(osm::readBounds(dir.file("b.osm")));
    writeBytes(dir.file("c.osm"), head + "<!-- -->\n" + filler + box + "</osm>\n");
    EXPECT_FALSE(osm::readBounds(dir.file("c.osm")));
}
