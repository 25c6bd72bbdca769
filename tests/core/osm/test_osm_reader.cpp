// The OSM reader's guard: packed and plain files read alike, and a file that
// unpacks past the cap or holds an endless attribute is refused by name.
#include <gtest/gtest.h>

#include <string>

#include "osm/OsmReader.h"

using namespace varno;

namespace {

struct Nodes final : osm::Handler {
    int count = 0;
    void node(std::int64_t, bool, double, double, std::span<const osm::Tag>) override { ++count; }
};

std::string fixture(const char* name)
{
    return std::string(VARNO_TEST_DATA_DIR) + "/osm/" + name;
}

TEST(OsmReaderGuard, PackedFilesReadOrAreRefusedByName)
{
    osm::ReadLimits tiny;
    tiny.maxUnpackedBytes = 100; // the two-node files unpack to about 200 bytes
    const struct {
        const char* file;
        osm::ReadLimits limits;
        int nodes;           // when read
        const char* refusal; // else: part of the error
    } cases[] = {
        {"two-nodes.osm.bz2", {}, 2, nullptr},
        {"two-nodes.osm.gz", {}, 2, nullptr},
        {"two-nodes.osm.bz2", tiny, 0, "unpacks to more than 100 bytes"},
        {"two-nodes.osm.gz", tiny, 0, "unpacks to more than 100 bytes"},
        // 134 bytes holding a 3 MiB attribute
        {"long-attribute.osm.bz2", {}, 0, "longer than 1048576 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Nodes nodes;
        const osm::ReadOutcome outcome = osm::readFile(fixture(c.file), osm::kNodes, nodes, {}, c.limits);
        if (!c.refusal) {
            EXPECT_TRUE(outcome);
            EXPECT_EQ(nodes.count, c.nodes);
        } else {
            ASSERT_TRUE(outcome.error);
            EXPECT_NE(outcome.error->find(fixture(c.file)), std::string::npos) << *outcome.error;
            EXPECT_NE(outcome.error->find(c.refusal), std::string::npos) << *outcome.error;
        }
    }
}

TEST(OsmReaderGuard, PlainXmlAttributeLengthIsCapped)
{
    const std::string xml = "<osm version='0.6'><node id='1' lat='1' lon='2'><tag k='a' v='" +
                            std::string(300, 'x') + "'/></node></osm>";
    osm::ReadLimits limits;
    limits.maxMarkupRun = 200;
    Nodes read, refused;
    EXPECT_TRUE(osm::readBytes(xml, "osm", osm::kNodes, read));
    EXPECT_EQ(read.count, 1);
    const osm::ReadOutcome outcome = osm::readBytes(xml, "osm", osm::kNodes, refused, limits);
    ASSERT_TRUE(outcome.error);
    EXPECT_NE(outcome.error->find("longer than 200 bytes"), std::string::npos) << *outcome.error;
}

} // namespace
