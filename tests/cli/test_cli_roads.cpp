// varno-cli roads as a program: a map built and described, an existing map
// replaced only when the user says so, and failures that name the file and
// exit non-zero.
#include <string>

#include <gtest/gtest.h>

#include "CliRun.h"

namespace varno::test {
namespace {

CliRun cli(const std::string& args)
{
    return runCli("--settings /nonexistent/varno-test.reg " + args);
}

const std::string kExtract = std::string(VARNO_CORPUS_DIR) + "/osm/josm/neubrandenburg.osm";

} // namespace

TEST(CliRoads, BuildsDescribesAndRefusesByName)
{
    ScratchDir dir;
    const std::string map = dir.file("nb.sqlite");
    const CliRun built = cli("roads build '" + kExtract + "' '" + map + "'");
    EXPECT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(built.out, "Road map: 2292 ways written to " + map + "\n");
    EXPECT_EQ(built.err, ""); // no progress line off a terminal

    const CliRun info = cli("roads info '" + map + "'");
    EXPECT_EQ(info.code, 0) << info.err;
    for (const std::string& line :
         {"File: " + map + "\n", std::string("Format: 1\n"), std::string("Ways: 2292 (named "),
          std::string("Bounds: 53.50"), "Source: " + kExtract + " (4097878 bytes, modified ",
          std::string("Built: ")})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << "\n" << info.out;

    // An existing map is replaced only with --yes.
    writeBytes(dir.file("old.sqlite"), "old");
    const CliRun refused = cli("roads build '" + kExtract + "' '" + dir.file("old.sqlite") + "'");
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("The road map file already exists."), std::string::npos) << refused.err;
    EXPECT_EQ(readBytes(dir.file("old.sqlite")), "old");
    const CliRun replaced = cli("--yes roads build '" + kExtract + "' '" + dir.file("old.sqlite") + "'");
    EXPECT_EQ(replaced.code, 0) << replaced.err;
    EXPECT_EQ(cli("roads info '" + dir.file("old.sqlite") + "'").code, 0);

    writeBytes(dir.file("text.txt"), "not a map\n");
    const struct {
        std::string args;
        int code;
        std::string errHas;
    } failures[] = {
        {"roads", 2, "usage: varno-cli roads build"},
        {"roads frobnicate", 2, "unknown command 'frobnicate'"},
        {"roads build only-one", 2, "usage: varno-cli roads build"},
        {"roads build '" + dir.file("none.osm") + "' '" + dir.file("x.sqlite") + "'", 1,
         dir.file("none.osm")},
        {"roads build '" + dir.file("text.txt") + "' '" + dir.file("x.sqlite") + "'", 1,
         dir.file("text.txt")},
        {"roads info '" + dir.file("text.txt") + "'", 1, dir.file("text.txt") + ": not a road map"},
        {"roads info '" + dir.file("none.sqlite") + "'", 1, dir.file("none.sqlite") + ": no such file"},
    };
    for (const auto& f : failures) {
        const CliRun r = cli(f.args);
        EXPECT_EQ(r.code, f.code) << f.args << "\n" << r.err;
        EXPECT_NE(r.err.find(f.errHas), std::string::npos) << f.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.sqlite")));
}

} // namespace varno::test
