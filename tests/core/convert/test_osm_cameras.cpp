// Enforcement relations in the OSM camera list: maxspeed devices, average-speed pairs, one line
// per node, members the file does not hold; the same through the mended reading of old XML.
#include <gtest/gtest.h>

#include "convert/OsmCameras.h"
#include "core/base/ScratchFiles.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

TEST(OsmCameras, EnforcementRelations)
{
    const std::string fixture = std::string(VARNO_TEST_DATA_DIR) + "/convert/enforcement.osm";
    // Old-API XML is read a second time, mended in memory: relations must survive that too.
    ScratchDir dir;
    std::string old = readBytes(fixture);
    old.replace(old.find("version='0.6'"), 13, "version='0.5'");
    old.replace(old.find("<relation id='20'"), 17, "<relation id='20' timestamp='2008-01-01T00:00:00+00:00'");
    writeBytes(dir.file("old.osm"), old);

    for (const std::string& path : {fixture, dir.file("old.osm")}) {
        SCOPED_TRACE(path);
        StringSink out;
        Progress progress;
        const Report r = convertOsmCameras(path, out, progress);
        ASSERT_EQ(r.status, Report::Status::Done) << r.message;
        // 1 takes the relation's limit, 5 keeps its own and is no pair end; 2 is named twice;
        // the pair is from (3) then to (4) whatever the member order; 99 is not in the file.
        EXPECT_EQ(out.text, "51.500000,-1.000000,,,,Camera,Yes,30\n"
                            "51.540000,-1.000000,,,,Camera,Yes,40\n"
                            "51.510000,-1.000000,,,,Camera,Yes,30\n"
                            "51.520000,-1.000000,,,,SPECS,Yes,50\n"
                            "51.530000,-1.000000,,,,SPECS,Yes,50\n");
        EXPECT_EQ(r.linesOut, 5u);
        EXPECT_EQ(r.notes, "1 enforcement relation members without a position were left out.");
    }
}
