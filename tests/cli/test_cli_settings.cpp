// varno-cli settings run as a program on a scratch settings file.
#include <cstdlib>
#include <sys/wait.h>
#include <string>

#include <gtest/gtest.h>

#include "core/settings/SettingsTestFiles.h"

namespace varno::cli {
namespace {

using settings::test::readBytes;
using settings::test::writeBytes;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

struct CliSettings : ::testing::Test {
    settings::test::ScratchDir dir;
    std::string path = dir.file("settings.reg");

    CliRun run(const std::string& args)
    {
        const std::string out = dir.file("out.txt"), err = dir.file("err.txt");
        std::string cmd = std::string("'") + VARNO_CLI_PATH + "' --settings '" + path + "' settings " + args +
                          " >'" + out + "' 2>'" + err + "'";
        int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out), readBytes(err)};
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
    EXPECT_NE(readBytes(path).find("\"CameraFile\"=\"C:\\\\VARNO\\\\my \\\"cams\\\".txt\"\r\n"),
              std::string::npos);
    EXPECT_NE(run("list").out.find("\nPOIFiles\\POIFile1\tREG_SZ\tfuel.asc\n"), std::string::npos);
}

TEST_F(CliSettings, RefusesWhatItCannotStore)
{
    EXPECT_EQ(run("set MapScale abc").code, 2);
    EXPECT_EQ(run("set MapScale -1").code, 2);
    EXPECT_EQ(run("set MapScale 4294967296").code, 2);
    EXPECT_EQ(run("set Port 5 --dword").code, 2); // Port is a text
    CliRun r = run("set Unknown 5");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--dword or --sz"), std::string::npos);
    EXPECT_EQ(run("set Unknown 0xFFFFFFFF --dword").code, 0);
    EXPECT_EQ(run("get Unknown").out, "4294967295\n");
    EXPECT_EQ(run("frobnicate").code, 2);
}

TEST_F(CliSettings, MissingValuesAndFiles)
{
    CliRun r = run("get Port");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(run("list").code, 1);
    EXPECT_EQ(run("set Port Com2").code, 0);
    EXPECT_EQ(run("get Speed").code, 1);
}

TEST_F(CliSettings, AnUnreadableFileIsReportedAndKeptAside)
{
    writeBytes(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1");
    CliRun r = run("get Port");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("The settings file\n" + path + "\ncannot be read and is ignored.\n", 0), 0u);

    r = run("set Speed 9600");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("cannot be read and is ignored."), std::string::npos);
    EXPECT_EQ(readBytes(path + ".bad"), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1");
    EXPECT_EQ(run("list").out, "Speed\tREG_SZ\t9600\n");
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
} // namespace varno::cli
