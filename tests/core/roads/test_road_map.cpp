// The road map built from real and made-up extracts, read back, and the files
// it must refuse or survive: what a build leaves behind when it fails or is
// cancelled, and what a damaged or foreign map file gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sqlite3.h>
#include <string>
#include <vector>

#include <osmium/io/pbf_output.hpp>
#include <osmium/io/reader.hpp>
#include <osmium/io/writer.hpp>
#include <osmium/io/xml_input.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>

#include "core/base/ScratchFiles.h"
#include "roads/RoadMapBuilder.h"
#include "roads/RoadMapFile.h"

using namespace varno;
using namespace varno::roads;
using namespace varno::test;

namespace {

namespace fs = std::filesystem;

const std::string kNeubrandenburg = std::string(VARNO_CORPUS_DIR) + "/osm/josm/neubrandenburg.osm";
constexpr RoadBox kWorld{-90, -180, 90, 180};

std::unique_ptr<RoadMapFile> openMap(const std::string& path)
{
    std::string error;
    auto map = RoadMapFile::open(path, error);
    EXPECT_TRUE(map) << error;
    return map;
}

std::map<std::int64_t, RoadWay> allWays(const RoadMapFile& map)
{
    std::vector<RoadWay> ways;
    map.waysIn(kWorld, ways);
    EXPECT_EQ(map.lastError(), "");
    std::map<std::int64_t, RoadWay> byId;
    for (RoadWay& w : ways)
        byId[w.id] = std::move(w);
    return byId;
}

std::vector<std::string> filesIn(const ScratchDir& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The Neubrandenburg extract as .osm.pbf, written by libosmium.
std::string neubrandenburgPbf(const ScratchDir& dir)
{
    const std::string pbf = dir.file("neubrandenburg.osm.pbf");
    osmium::io::Reader reader(kNeubrandenburg);
    osmium::io::Writer writer(pbf, reader.header());
    while (osmium::memory::Buffer buffer = reader.read())
        writer(std::move(buffer));
    writer.close();
    reader.close();
    return pbf;
}

Report build(const std::string& source, const std::string& map, RoadMapBuildOptions options = {})
{
    const Report r = buildRoadMap(source, map, options);
    EXPECT_TRUE(r.ok()) << r.message;
    return r;
}

TEST(RoadMapBuild, NeubrandenburgHoldsEveryRoadOfTheExtractByName)
{
    // What the extract holds, counted with libosmium alone.
    const std::set<std::string> roads = {
        "motorway",    "trunk",         "primary", "secondary",  "tertiary", "unclassified",
        "residential", "living_street", "service", "track",      "path",     "footway",
        "cycleway",    "bridleway",     "steps",   "pedestrian", "road"};
    std::map<std::int64_t, std::string> expected;
    std::map<std::int64_t, std::vector<osmium::object_id_type>> refs;
    {
        osmium::io::Reader reader(kNeubrandenburg, osmium::osm_entity_bits::way);
        while (osmium::memory::Buffer buffer = reader.read())
            for (const auto& way : buffer.select<osmium::Way>()) {
                std::string highway = way.tags().get_value_by_key("highway", "");
                if (highway.ends_with("_link"))
                    highway.resize(highway.size() - 5);
                if (!roads.count(highway) || way.nodes().size() < 2)
                    continue;
                expected[way.id()] = way.tags().get_value_by_key("name", "");
                for (const auto& n : way.nodes())
                    refs[way.id()].push_back(n.ref());
            }
        reader.close();
    }
    ASSERT_GT(expected.size(), 2000u);

    ScratchDir dir;
    const Report fromOsm = build(kNeubrandenburg, dir.file("osm.sqlite"));
    EXPECT_EQ(fromOsm.linesOut, expected.size());
    EXPECT_EQ(fromOsm.message,
              "Road map: " + std::to_string(expected.size()) + " ways written to " + dir.file("osm.sqlite"));
    const auto map = openMap(dir.file("osm.sqlite"));
    const auto ways = allWays(*map);
    ASSERT_EQ(ways.size(), expected.size());
    for (const auto& [id, name] : expected) {
        ASSERT_TRUE(ways.count(id)) << id;
        EXPECT_EQ(ways.at(id).name, name) << id;
    }
    EXPECT_EQ(map->info().ways, static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(map->info().format, 1);
    EXPECT_EQ(map->info().source, fs::absolute(kNeubrandenburg).string());
    EXPECT_NEAR(map->info().bounds.south, 53.50, 0.01);
    EXPECT_NEAR(map->info().bounds.east, 13.39, 0.01);

    // The ring road: its limit read, its points those of its nodes in order.
    const auto ring = std::find_if(ways.begin(), ways.end(), [](const auto& w) {
        return w.second.name == "Friedrich-Engels-Ring" && w.second.limitText == "50";
    });
    ASSERT_NE(ring, ways.end());
    EXPECT_EQ(ring->second.limitKph, 50);
    {
        std::map<osmium::object_id_type, osmium::Location> at;
        osmium::io::Reader reader(kNeubrandenburg, osmium::osm_entity_bits::node);
        while (osmium::memory::Buffer buffer = reader.read())
            for (const auto& node : buffer.select<osmium::Node>())
                at[node.id()] = node.location();
        reader.close();
        // Every way's points are its nodes' positions, in order (this extract has
        // no reversed way and no two nodes in one place).
        for (const auto& [id, w] : ways) {
            ASSERT_EQ(w.points.size(), refs[id].size()) << id;
            for (std::size_t i = 0; i < w.points.size(); ++i)
                ASSERT_EQ(w.points[i], geo::LatLon(at[refs[id][i]].lat(), at[refs[id][i]].lon())) << id;
        }
    }

    // The R*Tree, packed by the builder, passes SQLite's own check, and a box
    // gives exactly the ways whose extent meets it.
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(dir.file("osm.sqlite").c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        sqlite3_stmt* check = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT rtreecheck('ways_rtree')", -1, &check, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
        sqlite3_finalize(check);
        sqlite3_close(db);
    }
    for (const RoadBox box : {RoadBox{53.555, 13.255, 53.560, 13.265}, RoadBox{53.50, 12.90, 53.53, 13.00},
                              RoadBox{53.57, 13.20, 53.62, 13.30}, RoadBox{10, 10, 11, 11}}) {
        std::set<std::int64_t> inside;
        for (const auto& [id, w] : ways) {
            double s = 90, n = -90, west = 180, e = -180;
            for (const geo::LatLon& p : w.points) {
                s = std::min(s, p.latDeg()), n = std::max(n, p.latDeg());
                west = std::min(west, p.lonDeg()), e = std::max(e, p.lonDeg());
            }
            if (n >= box.south && s <= box.north && e >= box.west && west <= box.east)
                inside.insert(id);
        }
        std::vector<RoadWay> found;
        map->waysIn(box, found);
        std::set<std::int64_t> foundIds;
        for (const RoadWay& w : found)
            foundIds.insert(w.id);
        // Float boxes rounded outwards may take in a way a hair outside.
        for (const std::int64_t id : inside)
            EXPECT_TRUE(foundIds.count(id)) << id;
        EXPECT_LE(foundIds.size(), inside.size() + 2);
    }

    // The same extract as .osm.pbf, and with the node index in files, gives the same map.
    const std::string pbf = neubrandenburgPbf(dir);
    build(pbf, dir.file("pbf.sqlite"));
    RoadMapBuildOptions inFiles;
    inFiles.nodesInMemory = 0;
    build(pbf, dir.file("files.sqlite"), inFiles);
    for (const char* other : {"pbf.sqlite", "files.sqlite"}) {
        SCOPED_TRACE(other);
        const auto again = allWays(*openMap(dir.file(other)));
        ASSERT_EQ(again.size(), ways.size());
        for (const auto& [id, w] : ways) {
            const RoadWay& o = again.at(id);
            EXPECT_TRUE(o.name == w.name && o.ref == w.ref && o.roadClass == w.roadClass &&
                        o.limitKph == w.limitKph && o.oneway == w.oneway && o.points == w.points)
                << id;
        }
    }
    // Nothing but the maps and the extract is left in the folder.
    EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"files.sqlite", "neubrandenburg.osm.pbf", "osm.sqlite",
                                                      "pbf.sqlite"}));
}

// Ways that test what the builder makes of their tags and nodes.
constexpr char kTagged[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version='0.6'>
  <node id='3' lat='53.3' lon='13.3'/>
  <node id='1' lat='53.1' lon='13.1'/>
  <node id='2' lat='53.2' lon='13.2'/>
  <way id='10'><nd ref='1'/><nd ref='2'/><nd ref='3'/>
    <tag k='highway' v='secondary'/><tag k='oneway' v='-1'/><tag k='source:maxspeed' v='DE:rural'/></way>
  <way id='11'><nd ref='1'/><nd ref='2'/><tag k='highway' v='motorway_link'/><tag k='ref' v='A 20'/></way>
  <way id='12'><nd ref='1'/><nd ref='99'/><nd ref='2'/><tag k='highway' v='residential'/>
    <tag k='maxspeed' v='30 mph'/></way>
  <way id='13'><nd ref='1'/><nd ref='98'/><tag k='highway' v='residential'/></way>
  <way id='14'><nd ref='1'/><nd ref='2'/><tag k='highway' v='proposed'/></way>
  <way id='15'><nd ref='2'/><nd ref='3'/><tag k='building' v='yes'/></way>
</osm>
)";

TEST(RoadMapBuild, ReadsTagsAndNodesAsTheMapNeedsThem)
{
    ScratchDir dir;
    writeBytes(dir.file("tagged.osm"), kTagged);
    const Report r = build(dir.file("tagged.osm"), dir.file("map.sqlite"));
    EXPECT_NE(r.notes.find("1 highway ways were left out"), std::string::npos) << r.notes;
    const auto ways = allWays(*openMap(dir.file("map.sqlite")));
    ASSERT_EQ(ways.size(), 3u); // 13 lacks a node, 14 is no road yet, 15 no road at all

    // oneway=-1: one way, its points turned round to run the way traffic does.
    const RoadWay& reversed = ways.at(10);
    EXPECT_TRUE(reversed.oneway);
    ASSERT_EQ(reversed.points.size(), 3u);
    EXPECT_DOUBLE_EQ(reversed.points.front().latDeg(), 53.3);
    EXPECT_DOUBLE_EQ(reversed.points.back().latDeg(), 53.1);
    EXPECT_EQ(reversed.limitKph, 100);
    EXPECT_EQ(reversed.limitText, "DE:rural");

    // A link is its road, and a motorway one way unless tagged otherwise.
    EXPECT_EQ(ways.at(11).roadClass, RoadClass::Motorway);
    EXPECT_TRUE(ways.at(11).oneway);
    EXPECT_EQ(ways.at(11).ref, "A 20");
    EXPECT_EQ(ways.at(11).limitKph, kLimitUnknown);

    // An extract without roads gives a map without ways.
    writeBytes(dir.file("none.osm"), "<osm version='0.6'><node id='1' lat='53' lon='13'/></osm>");
    build(dir.file("none.osm"), dir.file("none.sqlite"));
    EXPECT_TRUE(allWays(*openMap(dir.file("none.sqlite"))).empty());

    // A node the extract lacks is passed over.
    EXPECT_EQ(ways.at(12).points.size(), 2u);
    EXPECT_EQ(ways.at(12).limitKph, 48);
    EXPECT_FALSE(ways.at(12).oneway);
}

TEST(RoadMapBuild, FailedOrCancelledLeavesNoFileAndTheOldMapAsItWas)
{
    ScratchDir dir;
    const std::string pbf = neubrandenburgPbf(dir);
    const std::string map = dir.file("map.sqlite");
    writeBytes(map, "the old map");

    // Cancelled by the progress callback, at once and half way, and by the flag.
    for (const double at : {0.0, 0.5}) {
        RoadMapBuildOptions options;
        options.progress = [at](double fraction) { return fraction < at; };
        const Report r = buildRoadMap(pbf, map, options);
        EXPECT_EQ(r.status, Report::Status::Cancelled);
    }
    std::atomic<bool> cancel{true};
    RoadMapBuildOptions flagged;
    flagged.cancel = &cancel;
    flagged.nodesInMemory = 0;
    EXPECT_EQ(buildRoadMap(pbf, map, flagged).status, Report::Status::Cancelled);

    // An extract cut short, one that holds a 3 MiB attribute in 134 packed
    // bytes, and a node off the globe: refused, naming the extract.
    const std::string bytes = readBytes(pbf);
    writeBytes(dir.file("cut.osm.pbf"), bytes.substr(0, bytes.size() / 2));
    writeBytes(dir.file("off.osm"),
               "<osm version='0.6'><node id='1' lat='91' lon='13'/><node id='2' lat='53' "
               "lon='13'/><way id='1'><nd ref='1'/><nd ref='2'/><tag k='highway' "
               "v='primary'/></way></osm>");
    const std::string bomb = std::string(VARNO_TEST_DATA_DIR) + "/osm/long-attribute.osm.bz2";
    for (const std::string& bad : {dir.file("cut.osm.pbf"), dir.file("off.osm"), bomb}) {
        const Report r = buildRoadMap(bad, map);
        EXPECT_EQ(r.status, Report::Status::Failed) << bad;
        EXPECT_NE(r.message.find(bad), std::string::npos) << r.message;
    }
    EXPECT_EQ(readBytes(map), "the old map");
    // What a build killed long ago left goes with the next build.
    const std::string stale = map + ".varno-0-0badf00d.tmp";
    writeBytes(stale, "half a map");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(2));
    EXPECT_EQ(buildRoadMap(bomb, map).status, Report::Status::Failed);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(filesIn(dir),
              (std::vector<std::string>{"cut.osm.pbf", "map.sqlite", "neubrandenburg.osm.pbf", "off.osm"}));

    // A folder nobody may write to, one that is missing, and a folder in the map's place.
    fs::create_directory(dir.file("folder.sqlite"));
    for (const std::string& target : {std::string("/proc/varno-roads.sqlite"), dir.file("missing/map.sqlite"),
                                      dir.file("folder.sqlite")}) {
        const Report r = buildRoadMap(pbf, target);
        EXPECT_EQ(r.status, Report::Status::Failed) << target;
        EXPECT_NE(r.message.find(target), std::string::npos) << r.message;
    }
    EXPECT_FALSE(fs::exists("/proc/varno-roads.sqlite"));
    EXPECT_FALSE(fs::exists(dir.file("missing")));
}

TEST(RoadMapFile, BadFilesAreRefusedByNameAndDamageNeverCrashes)
{
    ScratchDir dir;
    const std::string good = dir.file("good.sqlite");
    build(kNeubrandenburg, good);
    const std::string bytes = readBytes(good);

    // A foreign SQLite file, and a road map of a later format.
    const auto sql = [](const std::string& path, const char* statements) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    sql(dir.file("foreign.sqlite"), "CREATE TABLE t(x); INSERT INTO t VALUES(1);");
    writeBytes(dir.file("later.sqlite"), bytes);
    sql(dir.file("later.sqlite"), "UPDATE metadata SET value='2' WHERE key='format'");
    writeBytes(dir.file("text.sqlite"), "<?xml version='1.0'?>\n<gpx></gpx>\n");
    writeBytes(dir.file("empty.sqlite"), "");
    writeBytes(dir.file("cut.sqlite"), bytes.substr(0, bytes.size() / 2));
    writeBytes(dir.file("cut-odd.sqlite"), bytes.substr(0, bytes.size() - 100));
    fs::create_directory(dir.file("folder.sqlite"));

    const struct {
        const char* file;
        const char* why;
    } refused[] = {
        {"missing.sqlite", "no such file"},    {"folder.sqlite", "a folder"},
        {"text.sqlite", "not an SQLite file"}, {"empty.sqlite", "empty"},
        {"cut.sqlite", "cut short"},           {"cut-odd.sqlite", "cut short"},
        {"foreign.sqlite", "not a road map"},  {"later.sqlite", "format 2"},
    };
    for (const auto& c : refused) {
        std::string error;
        EXPECT_FALSE(RoadMapFile::open(dir.file(c.file), error)) << c.file;
        EXPECT_NE(error.find(dir.file(c.file)), std::string::npos) << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }

    // Damage inside the pages: whatever opens, queries end without a crash,
    // and say so when they come back short.
    int noticed = 0;
    for (std::size_t page = 1; page * 4096 < bytes.size(); page += 3) {
        std::string damaged = bytes;
        for (std::size_t i = page * 4096 + 8; i < page * 4096 + 4096 && i < damaged.size(); i += 7)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
        writeBytes(dir.file("damaged.sqlite"), damaged);
        std::string error;
        if (const auto map = RoadMapFile::open(dir.file("damaged.sqlite"), error)) {
            std::vector<RoadWay> ways;
            map->waysIn(kWorld, ways);
            noticed += !map->lastError().empty();
            if (!map->lastError().empty())
                EXPECT_NE(map->lastError().find("damaged.sqlite"), std::string::npos);
            map->waysIn({53.55, 13.25, 53.56, 13.27}, ways);
        } else {
            ++noticed;
            EXPECT_NE(error.find("damaged.sqlite"), std::string::npos);
        }
    }
    EXPECT_GT(noticed, 0);

    // A map nobody may write to reads as any other.
    fs::permissions(good, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    {
        const auto map = openMap(good);
        ASSERT_TRUE(map);
        EXPECT_EQ(allWays(*map).size(), static_cast<std::size_t>(map->info().ways));
    }
    fs::permissions(dir.path(), fs::perms::owner_all);
}

} // namespace
