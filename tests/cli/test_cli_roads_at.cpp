// varno-cli roads at and replay --roads: the road at a place, and road maps that cannot be opened.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "core/base/ScratchFiles.h"

using namespace varno::test;

namespace {

const std::string kExtract = std::string(VARNO_CORPUS_DIR) + "/osm/josm/neubrandenburg.osm";

} // namespace

TEST(CliRoadsAt, NamesTheRoadAlongTheCourseAndSaysWhenNoneIsNear)
{
    if (!std::filesystem::exists(kExtract))
        GTEST_SKIP() << kExtract << " is not here";
    ScratchDir dir;
    const std::string map = dir.file("nb.sqlite");
    ASSERT_EQ(runCli("roads build '" + kExtract + "' '" + map + "'").code, 0);

    // On Ihlenfelder Straße by the corner of Usedomer Straße: down the street, or into the side street.
    CliRun r = runCli("roads at '" + map + "' 53.5700 13.2775 --course 220");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Name: Ihlenfelder Straße\nRef: L 28\nClass: secondary\nLimit: 50 km/h\n"),
              std::string::npos)
        << r.out;
    r = runCli("roads at '" + map + "' 53.5700 13.2775 --course 120");
    EXPECT_NE(r.out.find("Name: Usedomer Straße\n"), std::string::npos) << r.out;
    r = runCli("roads at '" + map + "' 53.58 13.0");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "no road within 30 m\n");
    EXPECT_EQ(runCli("roads at '" + map + "' 53.57 north").code, 2);
}

TEST(CliRoadsAt, ARoadMapThatCannotBeOpenedFailsNamingIt)
{
    ScratchDir dir;
    const std::string notAMap = dir.file("not-a-map.sqlite");
    writeBytes(notAMap, "this is no database\n");
    writeBytes(dir.file("drive.nmea"),
               "$GPRMC,120000.00,A,5334.3344,N,01316.8868,E,21.6,245.2,071226,,*0E\r\n");
    for (const std::string& args : {"roads at '" + notAMap + "' 53.57 13.27",
                                    "replay --settings '" + dir.file("s.reg") + "' --roads '" + notAMap +
                                        "' '" + dir.file("drive.nmea") + "'"}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find("not-a-map.sqlite"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}
