// The settings file on disk: round trips, live re-reading, atomic replacement, unreadable files.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "settings/SettingsStore.h"

namespace varno::settings {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

class FailingSync final : public FileSync {
public:
    bool flushToDisk(std::FILE*) override { return false; }
};

struct SettingsStoreTest : ::testing::Test {
    test::ScratchDir dir;
    const std::string path = dir.file("settings.reg");
    long filesInDir() const
    {
        return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
    }
};

TEST_F(SettingsStoreTest, RoundTripsValuesInOrderWithEscapes)
{
    SettingsStore store(path);
    EXPECT_FALSE(store.keyExists(kVarnoKey));
    ASSERT_TRUE(store.setString(kVarnoKey, "Port", "Com1"));
    ASSERT_TRUE(store.setDword(kVarnoKey, "MapScale", 4000));
    ASSERT_TRUE(store.setString(kVarnoKey, "CameraFile", "C:\\VARNO\\a \"b\".txt"));
    ASSERT_TRUE(store.setString(kVarnoKey, "port", "/dev/ttyUSB0")); // same value, other case

    EXPECT_EQ(readBytes(path), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n"
                               "\"Port\"=\"/dev/ttyUSB0\"\r\n\"MapScale\"=dword:00000fa0\r\n"
                               "\"CameraFile\"=\"C:\\\\VARNO\\\\a \\\"b\\\".txt\"\r\n\r\n");

    SettingsStore other(path); // a fresh reader sees the same
    EXPECT_TRUE(other.keyExists("software\\varno"));
    EXPECT_EQ(other.get(kVarnoKey, "PORT"), Value::sz("/dev/ttyUSB0"));
    EXPECT_EQ(other.get(kVarnoKey, "CameraFile"), Value::sz("C:\\VARNO\\a \"b\".txt"));
    EXPECT_EQ(filesInDir(), 1); // the temporary file was renamed
}

TEST_F(SettingsStoreTest, SubkeyEnumerationAndDeletion)
{
    SettingsStore store(path);
    ASSERT_TRUE(store.createKey(kPoiFilesKey));
    EXPECT_TRUE(store.keyExists(kVarnoKey)); // the parent of an existing key exists
    for (const char* name : {"POIFile1", "POIFile2", "POIFile3"})
        ASSERT_TRUE(store.setString(kPoiFilesKey, name, "x.asc"));
    EXPECT_TRUE(store.deleteValue(kPoiFilesKey, "poifile2"));
    EXPECT_FALSE(store.deleteValue(kPoiFilesKey, "POIFile2")); // already gone
    ASSERT_TRUE(store.setString(kPoiFilesKey, "POIFile2", "again.asc"));
    auto v = store.values(kPoiFilesKey);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[1].name, "POIFile3");
    EXPECT_EQ(v[2].name, "POIFile2"); // a value made anew goes to the end
    EXPECT_EQ(store.keys(), (std::vector<std::string>{"Software\\VARNO\\POIFiles"}));
}

TEST_F(SettingsStoreTest, SeesChangesMadeByOthersAndKeepsWhatItDoesNotUse)
{
    writeBytes(path,
               "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\X]\n\"M\"=\"m\"\n\n"
               "[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Blob\"=hex:01,02,\\\n  03\n\"Port\"=\"Com1\"\n");
    SettingsStore store(path);
    EXPECT_EQ(store.get(kVarnoKey, "Port"), Value::sz("Com1"));
    writeBytes(path,
               "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com2\"\n\"Blob\"=hex:01,02,03\n"
               "[HKEY_LOCAL_MACHINE\\Software\\X]\n\"M\"=\"m\"\n");
    EXPECT_EQ(store.get(kVarnoKey, "Port"), Value::sz("Com2"));

    ASSERT_TRUE(store.setDword(kVarnoKey, "Version", 8));
    EXPECT_EQ(readBytes(path), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n\"Port\"=\"Com2\"\r\n"
                               "\"Blob\"=hex:01,02,03\r\n\"Version\"=dword:00000008\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"M\"=\"m\"\r\n\r\n");

    // An edit that keeps the size and the time (coarse file system clocks) is still seen.
    const auto when = fs::last_write_time(path);
    std::string bytes = readBytes(path);
    bytes.replace(bytes.find("Com2"), 4, "Com9");
    writeBytes(path, bytes);
    fs::last_write_time(path, when);
    EXPECT_EQ(store.get(kVarnoKey, "Port"), Value::sz("Com9"));

    fs::remove(path);
    EXPECT_FALSE(store.keyExists(kVarnoKey));
}

TEST_F(SettingsStoreTest, KeepsCommentLinesWhereTheyStandAcrossWrites)
{
    writeBytes(path,
               "REGEDIT4\n; written by hand\n[HKEY_CURRENT_USER\\Software\\VARNO]\n"
               "  ; the receiver on the dashboard\n\"Port\"=\"Com1\"\n; old scale\n\"MapScale\"=dword:1\n"
               "[-HKEY_CURRENT_USER\\Software\\Gone]\n; about X\n[HKEY_LOCAL_MACHINE\\Software\\X]\n"
               "\"M\"=\"m\"\n; the end\n");
    SettingsStore store(path);
    ASSERT_TRUE(store.setDword(kVarnoKey, "Version", 8));
    ASSERT_TRUE(store.deleteValue(kVarnoKey, "MapScale")); // its note stays in place
    ASSERT_TRUE(store.setString(kVarnoKey, "Port", "Com2"));
    EXPECT_EQ(readBytes(path),
              "REGEDIT4\r\n\r\n; written by hand\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n"
              "; the receiver on the dashboard\r\n\"Port\"=\"Com2\"\r\n; old scale\r\n"
              "\"Version\"=dword:00000008\r\n\r\n"
              "; about X\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"M\"=\"m\"\r\n\r\n; the end\r\n");
    SettingsStore other(path); // and the rewritten file reads back the same
    EXPECT_EQ(other.get(kVarnoKey, "Port"), Value::sz("Com2"));
}

TEST_F(SettingsStoreTest, RefusesTextsTheFileCannotHold)
{
    SettingsStore store(path);
    ASSERT_TRUE(store.setString(kVarnoKey, "Port", "Com1"));
    const std::string before = readBytes(path);
    EXPECT_FALSE(store.setString(kVarnoKey, "Port", "Com1\r\n\"Speed\"=\"1\""));
    EXPECT_FALSE(store.setString(kVarnoKey, std::string("Po\0rt", 5), "x"));
    EXPECT_FALSE(store.setString(kVarnoKey, "Port", std::string("a\0b", 3)));
    EXPECT_FALSE(store.createKey("Software\\VARNO\\Bad\n]"));
    SettingsStore::Batch batch(store);
    batch.setString(kVarnoKey, "Speed", "9600").setString(kVarnoKey, "Parity", "a\nb");
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(SettingsStoreTest, AFailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(SettingsStore(path).setString(kVarnoKey, "Port", "Com1"));
    const std::string before = readBytes(path);
    FailingSync failing;
    SettingsStore store(path, &failing);
    EXPECT_FALSE(store.setString(kVarnoKey, "Port", "Com2"));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(filesInDir(), 1);

    // A folder that cannot be made (a file is in its way) fails the write too.
    writeBytes(dir.file("notadir"), "x");
    SettingsStore blocked(dir.file("notadir/sub/s.reg"));
    EXPECT_FALSE(blocked.setString(kVarnoKey, "Port", "Com1"));
    EXPECT_NE(blocked.lastErrorCode(), 0);
    EXPECT_EQ(readBytes(dir.file("notadir")), "x");
}

TEST_F(SettingsStoreTest, CreatesTheFoldersOfANewFileAndALinkedFileStaysLinked)
{
    ASSERT_TRUE(SettingsStore(dir.file("config/varno/settings.reg")).createKey(kVarnoKey));
    EXPECT_TRUE(fs::is_regular_file(dir.file("config/varno/settings.reg")));

    const std::string real = dir.file("config/varno/settings.reg");
    fs::create_symlink(real, path);
    ASSERT_TRUE(SettingsStore(path).setString(kVarnoKey, "Port", "Com4"));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_NE(readBytes(real).find("\"Port\"=\"Com4\""), std::string::npos);
}

TEST_F(SettingsStoreTest, UnreadableFileCountsAsMissingIsReportedOnceAndIsMovedAside)
{
    const std::string junk =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1" + std::string(3, '\0');
    writeBytes(path, junk);
    SettingsStore store(path);
    EXPECT_TRUE(store.unreadable());
    EXPECT_FALSE(store.get(kVarnoKey, "Port"));
    EXPECT_EQ(store.takeUnreadableReport(),
              "The settings file\n" + path + "\ncannot be read and is ignored.");
    EXPECT_EQ(store.takeUnreadableReport(), "");
    EXPECT_EQ(readBytes(path), junk); // reading never touches it

    // The next write keeps the broken file under another name.
    writeBytes(path + ".bad", "an older broken file");
    ASSERT_TRUE(store.setString(kVarnoKey, "Speed", "4800"));
    EXPECT_EQ(store.movedAsidePath(), path + ".bad1");
    EXPECT_EQ(readBytes(path + ".bad1"), junk);
    EXPECT_EQ(readBytes(path + ".bad"), "an older broken file");
    EXPECT_EQ(store.values(kVarnoKey).size(), 1u); // nothing of the broken file was carried over
}

TEST_F(SettingsStoreTest, AnUnreadableFileWrittenBeforeItWasReportedIsStillReported)
{
    writeBytes(path, "not a registry file\n");
    SettingsStore store(path);
    ASSERT_TRUE(store.setDword(kVarnoKey, "Version", 8));
    EXPECT_EQ(readBytes(path + ".bad"), "not a registry file\n");
    EXPECT_FALSE(store.takeUnreadableReport().empty());
}

TEST_F(SettingsStoreTest, AHugeFileIsRefusedAnEmptyOneIsAStoreWithoutKeys)
{
    std::string big = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"";
    big.append(SettingsStore::kMaxFileBytes, 'x');
    writeBytes(path, big + "\"\n");
    EXPECT_TRUE(SettingsStore(path).unreadable());

    writeBytes(path, "");
    SettingsStore store(path);
    EXPECT_EQ(store.takeUnreadableReport(), "");
    ASSERT_TRUE(store.createKey(kVarnoKey));
    EXPECT_FALSE(fs::exists(path + ".bad"));
}

} // namespace
} // namespace varno::settings
