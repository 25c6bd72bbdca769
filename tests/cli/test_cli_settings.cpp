// varno-cli settings run as a program on a scratch settings file.
#include <string>

#include <gtest/gtest.h>

#include "CliRun.h"

namespace varno::test {
namespace {

struct CliSettings : ::testing::Test {
    ScratchDir dir;
    std::string path = dir.file("settings.reg");

    CliRun run(const std::string& args)
    {
        return runCli("--settings " + shellQuoted(path) + " settings " + args);
    }
};

TEST_F(CliSettings, CheckRegistryThenListGetAndSet)
{
    CliRun r = run("check-registry");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "Registry check finished.\n");

    r = run("list");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("Port\tREG_SZ\tCom1\nSpeed\tREG_SZ\t4800\n", 0), 0u);
    EXPECT_NE(r.out.find("\nMapScale\tREG_DWORD\t4000\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nMSAgentACS\tREG_SZ\tC:\\Windows\\msagent\\chars\\Merlin.acs\n"),
              std::string::npos);

    EXPECT_EQ(run("set MapScale 0x1f40").code, 0);
    EXPECT_EQ(run("set CameraFile 'C:\\VARNO\\my \"cams\".txt'").code, 0);
    EXPECT_EQ(run("set POIFiles\\\\POIFile1 fuel.asc --sz").code, 0);
    EXPECT_EQ(run("get mapscale").out, "8000\n");
    EXPECT_EQ(run("get CameraFile").out, "C:\\VARNO\\my \"cams\".txt\n");
    EXPECT_EQ(run("get POIFiles\\\\POIFile1").out, "fuel.asc\n");
    EXPECT_NE(run("list").out.find("\nPOIFiles\\POIFile1\tREG_SZ\tfuel.asc\n"), std::string::npos);
}

TEST_F(CliSettings, RefusesWhatItCannotStoreAndMissesWhatIsNotThere)
{
    CliRun r = run("get Port");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(run("list").code, 1);

    for (const char* bad : {"set MapScale abc", "set MapScale -1", "set MapScale 4294967296",
                            "set Port 5 --dword", // Port is a text
                            "frobnicate"})
        EXPECT_EQ(run(bad).code, 2) << bad;
    r = run("set Unknown 5");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--dword or --sz"), std::string::npos);
    EXPECT_EQ(run("set Unknown 0xFFFFFFFF --dword").code, 0);
    EXPECT_EQ(run("get Unknown").out, "4294967295\n");
    EXPECT_EQ(run("get Speed").code, 1);
}

TEST_F(CliSettings, AnUnreadableFileIsReportedAndKeptAside)
{
    const std::string junk = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1";
    writeBytes(path, junk);
    CliRun r = run("get Port");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("The settings file\n" + path + "\ncannot be read and is ignored.\n", 0), 0u);
    EXPECT_EQ(run("set Speed 9600").code, 0);
    EXPECT_EQ(readBytes(path + ".bad"), junk);
}

TEST_F(CliSettings, ListsAWindowsExportAsItIs)
{
    path = std::string(VARNO_TEST_DATA_DIR) + "/settings/windows_export_utf16.reg";
    CliRun r = run("list");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("@\tREG_SZ\tEinstellungen\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nLastPath\tREG_EXPAND_SZ\thex(2):25,00,"), std::string::npos);
    EXPECT_NE(r.out.find("\nPOIFiles\\POIFile2\tREG_SZ\tFuel.asc\n"), std::string::npos);
}

} // namespace
} // namespace varno::test
