// The settings file on disk, and the settings readers and writers over it with their fallbacks and messages.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "settings/MasterTable.h"
#include "settings/RegDocument.h"
#include "settings/Settings.h"
#include "settings/StartupChecks.h"
#include "support/RecordingPrompt.h"

namespace varno::settings {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;
using Texts = std::vector<std::string>;

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\VARNO";

RegDocument parseOk(std::string_view bytes)
{
    auto r = RegDocument::parse(bytes);
    EXPECT_TRUE(r.document) << r.error;
    return r.document ? std::move(*r.document) : RegDocument{};
}

TEST(RegDocument, ReadsAWindowsExportInUtf16AndRewritesItAsRegedit4)
{
    auto bytes = readBytes(std::string(VARNO_TEST_DATA_DIR) + "/settings/windows_export_utf16.reg");
    RegDocument doc = parseOk(bytes);
    EXPECT_EQ(doc.get(kKey, "MapScale"), Value::dword(4000));
    // Non-ASCII text arrives as UTF-8, escaped quotes unescaped.
    EXPECT_EQ(doc.get(kKey, "RouteName"),
              Value::sz("C:\\VARNO\\Route\\M\xC3\xBCnchen \xE2\x80\x93 K\xC3\xB6ln \"A3\".txt"));
    // Rewritten as REGEDIT4 with CR LF, it reads back the same.
    std::string out = doc.format();
    EXPECT_EQ(out.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n@=\"Einstellungen\"\r\n", 0),
              0u);
    for (size_t i = out.find('\n'); i != std::string::npos; i = out.find('\n', i + 1))
        ASSERT_EQ(out[i - 1], '\r');
    EXPECT_EQ(parseOk(out).format(), out);
}

TEST(RegDocument, AcceptsLooseHandEditsAndAppliesDeletionsAsAnImportWould)
{
    RegDocument doc =
        parseOk("\xEF\xBB\xBF\n\nregedit4\n; my settings\n[HKEY_CURRENT_USER\\Software\\VARNO\\]\n"
                "\"A\" = \"x\"  \n\"B\"=DWORD:1F\r\n\"C\"=\"tab\\there\"\r\"D\"=hex:\n\n");
    EXPECT_EQ(doc.get(kKey, "a"), Value::sz("x"));
    EXPECT_EQ(doc.get(kKey, "B"), Value::dword(0x1f));
    EXPECT_EQ(doc.get(kKey, "C"), Value::sz("tab\\there")); // unknown escapes are kept as written
    EXPECT_EQ(doc.get(kKey, "D"), (Value{ValueType::Other, "hex:", 0}));
    // Nothing at all is an empty store, not a broken one.
    EXPECT_TRUE(RegDocument::parse("").document);
    EXPECT_TRUE(RegDocument::parse("\xFF\xFE").document);

    doc = parseOk(
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"V\"=\"1\"\n"
        "[HKEY_CURRENT_USER\\Software\\VARNO\\POIFiles]\n\"P\"=\"p\"\n[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"A\"=\"1\"\n\"B\"=\"2\"\n\"a\"=\"3\"\n\"B\"=-\n[-HKEY_CURRENT_USER\\Software\\varno]\n\"Ignored\"="
        "\"x\"\n");
    EXPECT_FALSE(doc.hasKey(kKey));
    EXPECT_FALSE(doc.hasKey(std::string(kKey) + "\\POIFiles"));
    EXPECT_TRUE(doc.hasKey("HKEY_CURRENT_USER\\Software")); // a key below it exists
    auto v = doc.values("HKEY_CURRENT_USER\\Software\\Other");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].name, "A"); // first spelling and place kept, last value wins
    EXPECT_EQ(v[0].value, Value::sz("3"));

    // The note of a value removed after the key's last one stays below that
    // key: the file written reads back and writes the same.
    doc = parseOk("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"X\"=\"1\"\n; about Y\n\"Y\"=\"2\"\n\"Y\"=-\n"
                  "[HKEY_CURRENT_USER\\B]\n\"Z\"=\"3\"\n");
    const std::string written = doc.format();
    EXPECT_EQ(parseOk(written).format(), written);
    EXPECT_LT(written.find("; about Y"), written.find("[HKEY_CURRENT_USER\\B]"));
}

TEST(RegDocument, RefusesGarbledFiles)
{
    const std::string head = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n";
    const std::pair<std::string, std::string> cases[] = {
        {"binary junk", std::string("\177ELF\2\1\1\0\0\0", 10)},
        {"no header", "[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1\"\n"},
        {"wrong header", "REGEDIT5\n"},
        {"NUL byte", head + std::string("\"Port\"=\"Co\0m1\"\n", 15)},
        {"truncated string", head + "\"Port\"=\"Com1\n"},
        {"truncated name", head + "\"Po"},
        {"text after string", head + "\"Port\"=\"Com1\" x\n"},
        {"junk line", head + "Port=Com1\n"},
        {"value before key", "REGEDIT4\n\"Port\"=\"Com1\"\n"},
        {"bad dword", head + "\"A\"=dword:123456789\n"},
        {"dword junk", head + "\"A\"=dword:12z\n"},
        {"empty dword", head + "\"A\"=dword:\n"},
        {"unknown type", head + "\"A\"=qword:1\n"},
        {"bad hex", head + "\"A\"=hex:1,zz\n"},
        {"ends inside hex", head + "\"A\"=hex:01,02,\\\n"},
        {"unterminated key", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO\n"},
        {"empty key", "REGEDIT4\n[]\n"},
        {"UTF-16 odd length", std::string("\xFF\xFER\0E\0G", 7)},
        {"UTF-16 lone surrogate", std::string("\xFF\xFE\x00\xD8R\0", 6)},
        {"UTF-16 NUL", std::string("\xFF\xFER\0\0\0", 6)},
        {"UTF-16 big endian", std::string("\xFE\xFF\0R", 4)}};
    for (const auto& [what, bytes] : cases) {
        auto r = RegDocument::parse(bytes);
        EXPECT_FALSE(r.document) << what;
        EXPECT_FALSE(r.error.empty()) << what;
    }
}

TEST(RegDocument, ManyValuesAndKeysStayCheap)
{
    // Adding, replacing and deleting tens of thousands of values must not go quadratic.
    std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n";
    for (int i = 0; i < 40000; ++i)
        text += "\"V" + std::to_string(i) + "\"=dword:1\n";
    for (int i = 0; i < 40000; i += 2)
        text += "\"v" + std::to_string(i) + "\"=-\n";
    for (int i = 0; i < 20000; ++i)
        text += "[-HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\n";
    RegDocument doc = parseOk(text);
    EXPECT_EQ(doc.values(kKey).size(), 20000u);
    EXPECT_EQ(doc.values(kKey).front().name, "V1");
}

// A settings file in a scratch folder, and the store and settings over it, one of each whose writes fail.
struct SettingsTest : ::testing::Test {
    test::ScratchDir dir;
    std::string path = dir.file("settings.reg");
    SettingsStore store{path};
    test::FailingSync failing;
    SettingsStore failingStore{path, &failing};
    test::RecordingPrompt prompt;
    Settings settings{store, prompt};
    Settings failingSettings{failingStore, prompt};

    void file(const std::string& values)
    {
        writeBytes(path, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n" + values);
    }
    long filesInDir() const
    {
        return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
    }
};

TEST_F(SettingsTest, RoundTripsValuesInOrderAndSeesChangesMadeByOthers)
{
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

    // A new file gets its folders; a value deleted and made anew goes to the end.
    SettingsStore sub(dir.file("config/varno/settings.reg"));
    ASSERT_TRUE(sub.createKey(kPoiFilesKey));
    EXPECT_TRUE(sub.keyExists(kVarnoKey)); // the parent of an existing key exists
    for (const char* name : {"POIFile1", "POIFile2", "POIFile3"})
        ASSERT_TRUE(sub.setString(kPoiFilesKey, name, "x.asc"));
    EXPECT_TRUE(sub.deleteValue(kPoiFilesKey, "poifile2"));
    EXPECT_FALSE(sub.deleteValue(kPoiFilesKey, "POIFile2")); // already gone
    ASSERT_TRUE(sub.setString(kPoiFilesKey, "POIFile2", "again.asc"));
    EXPECT_EQ(sub.values(kPoiFilesKey).back().name, "POIFile2");
    EXPECT_EQ(sub.keys(), (std::vector<std::string>{"Software\\VARNO\\POIFiles"}));

    // Changes made by others are seen, even with the same size and the same time (coarse clocks).
    writeBytes(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1\"\n");
    EXPECT_EQ(store.get(kVarnoKey, "Port"), Value::sz("Com1"));
    const auto when = fs::last_write_time(path);
    writeBytes(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com9\"\n");
    fs::last_write_time(path, when);
    EXPECT_EQ(store.get(kVarnoKey, "Port"), Value::sz("Com9"));
    fs::remove(path);
    EXPECT_FALSE(store.keyExists(kVarnoKey));
}

TEST_F(SettingsTest, KeepsCommentLinesWhereTheyStandAcrossWrites)
{
    writeBytes(path,
               "REGEDIT4\n; written by hand\n[HKEY_CURRENT_USER\\Software\\VARNO]\n"
               "  ; the receiver on the dashboard\n\"Port\"=\"Com1\"\n; old scale\n\"MapScale\"=dword:1\n"
               "[-HKEY_CURRENT_USER\\Software\\Gone]\n; about X\n[HKEY_LOCAL_MACHINE\\Software\\X]\n"
               "\"M\"=\"m\"\n; the end\n");
    ASSERT_TRUE(store.setDword(kVarnoKey, "Version", 8));
    ASSERT_TRUE(store.deleteValue(kVarnoKey, "MapScale")); // its note stays in place
    ASSERT_TRUE(store.setString(kVarnoKey, "Port", "Com2"));
    EXPECT_EQ(readBytes(path),
              "REGEDIT4\r\n\r\n; written by hand\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n"
              "; the receiver on the dashboard\r\n\"Port\"=\"Com2\"\r\n; old scale\r\n"
              "\"Version\"=dword:00000008\r\n\r\n"
              "; about X\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"M\"=\"m\"\r\n\r\n; the end\r\n");
    // And the rewritten file reads back the same.
    EXPECT_EQ(SettingsStore(path).get(kVarnoKey, "Port"), Value::sz("Com2"));
}

TEST_F(SettingsTest, RefusedTextsAndFailedWritesLeaveTheOldFile)
{
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
    // A failed disk sync leaves it too, and no temporary file.
    EXPECT_FALSE(failingStore.setString(kVarnoKey, "Port", "Com2"));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(filesInDir(), 1);

    // A folder that cannot be made (a file is in its way) fails the write too.
    writeBytes(dir.file("notadir"), "x");
    SettingsStore blocked(dir.file("notadir/sub/s.reg"));
    EXPECT_FALSE(blocked.setString(kVarnoKey, "Port", "Com1"));
    EXPECT_NE(blocked.lastErrorCode(), 0);
    EXPECT_EQ(readBytes(dir.file("notadir")), "x");
}

TEST_F(SettingsTest, UnreadableFileCountsAsMissingIsReportedOnceAndIsMovedAside)
{
    const std::string junk =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1" + std::string(3, '\0');
    writeBytes(path, junk);
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

    // A file written over before its report was taken still has it reported.
    writeBytes(path, "not a registry file\n");
    SettingsStore early(path);
    ASSERT_TRUE(early.setDword(kVarnoKey, "Version", 8));
    EXPECT_EQ(readBytes(early.movedAsidePath()), "not a registry file\n");
    EXPECT_FALSE(early.takeUnreadableReport().empty());

    // A huge file is refused; an empty one is a store without keys and is not moved aside.
    std::string big = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"";
    writeBytes(path, big.append(SettingsStore::kMaxFileBytes, 'x') + "\"\n");
    EXPECT_TRUE(SettingsStore(path).unreadable());
    writeBytes(path, "");
    SettingsStore empty(path);
    EXPECT_EQ(empty.takeUnreadableReport(), "");
    ASSERT_TRUE(empty.createKey(kVarnoKey));
    EXPECT_EQ(empty.movedAsidePath(), "");
}

TEST_F(SettingsTest, ANodeOrALinkLoopInTheFilesPlaceIsRefusedAndLeftAsItIs)
{
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.file("loop-b"), dir.file("loop-a"));
    fs::create_symlink(dir.file("loop-a"), dir.file("loop-b"));
    for (const char* name : {"fifo", "loop-a"}) {
        SCOPED_TRACE(name);
        SettingsStore odd(dir.file(name));
        EXPECT_NE(odd.takeUnreadableReport().find("\nis not a regular file"), std::string::npos);
        EXPECT_FALSE(odd.setString(kVarnoKey, "Port", "Com1"));
        EXPECT_NE(odd.lastErrorCode(), 0);
        EXPECT_EQ(odd.movedAsidePath(), "");
    }
    // Through the usual messages: what the file is, then the failed write.
    SettingsStore fifoStore(dir.file("fifo"));
    Settings fifoSettings(fifoStore, prompt);
    EXPECT_FALSE(fifoSettings.write(keys::Port, "Com1"));
    ASSERT_EQ(prompt.texts().size(), 2u);
    EXPECT_EQ(prompt.texts()[0], "The settings file\n" + dir.file("fifo") +
                                     "\nis not a regular file: it is ignored and left as it is, "
                                     "and settings cannot be saved.");
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop-a")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop-b")));
    EXPECT_EQ(filesInDir(), 3);
}

TEST_F(SettingsTest, ReadersOfFileNamesFailSilentlyWithoutKeyAndWithTheirMessageWithoutValue)
{
    EXPECT_FALSE(settings.read(keys::CameraFile));
    EXPECT_FALSE(settings.read(keys::POIFolder));
    EXPECT_TRUE(prompt.texts().empty());

    file("\"CameraFile\"=\"C:\\\\VARNO\\\\Cams.txt\"\r\n\"MapFile\"=dword:00000001\r\n\"MarkFile\"=\"" +
         std::string(299, 'm') + "\"\r\n\"RouteName\"=\"" + std::string(400, 'r') + "\"\r\n");
    EXPECT_EQ(settings.read(keys::CameraFile), "C:\\VARNO\\Cams.txt");
    EXPECT_FALSE(settings.read(keys::MapFile));              // wrong type counts as missing
    EXPECT_FALSE(settings.read(keys::MarkFile));             // does not fit its 299-byte buffer
    EXPECT_EQ(settings.read(keys::RouteName)->size(), 400u); // cut by its user
    EXPECT_EQ(settings.peek(keys::MarkFile)->size(), 299u);
    EXPECT_FALSE(settings.read(keys::POIFolder));
    EXPECT_FALSE(settings.read(keys::RoutePick[6]));
    EXPECT_FALSE(settings.read(keys::StartTimerFilename[1])); // silent
    EXPECT_FALSE(settings.read(keys::LogFolder));             // silent
    EXPECT_FALSE(settings.peek(keys::VoiceFolder));           // silent
    EXPECT_FALSE(settings.read(keys::StartTimerStartTime[0]));
    EXPECT_FALSE(settings.read(keys::StartTimerEndTime[1])); // silent
    EXPECT_EQ(prompt.texts(), (Texts{"Unable read the map file name from the registry.",
                                     "Unable read the mark file name from the registry.",
                                     "Unable to read the POI folder file name from the registry.",
                                     "Unable read the RoutePick7 file name from the registry.",
                                     "Unable read the StartTimerStartTime1 time from the registry."}));
}

TEST_F(SettingsTest, ReadersOfNumbersTimeZoneAndColoursFallBackOnBadValues)
{
    EXPECT_EQ(settings.read(keys::LogTrack), -1);
    EXPECT_EQ(settings.read(keys::SpeedUnits), 0);
    EXPECT_EQ(settings.read(keys::TrackLength), -1);
    EXPECT_EQ(settings.read(keys::MapScale), 4000); // no key

    file("\"LogTrack\"=dword:00000001\r\n\"DisplayTrack\"=dword:00000002\r\n\"Exclude\"=\"1\"\r\n"
         "\"TrackLength\"=dword:00000064\r\n\"Port\"=\"" +
         std::string(50, 'p') + "\"\r\n\"Speed\"=\"" + std::string(50, '9') + "\"\r\n");
    EXPECT_EQ(settings.read(keys::LogTrack), 1);
    EXPECT_EQ(settings.read(keys::DisplayTrack), 0);
    EXPECT_EQ(settings.read(keys::Exclude), -1); // a text is not a number
    EXPECT_EQ(settings.read(keys::TrackLength), 500);
    EXPECT_EQ(settings.read(keys::MapScale), 0); // key, but no value
    EXPECT_FALSE(settings.read(keys::Port));     // a port name fits 49 characters
    EXPECT_EQ(settings.read(keys::Speed)->size(), 50u);

    file("\"TrackLength\"=dword:ffffffff\r\n\"MapScale\"=dword:0003e800\r\n");
    EXPECT_EQ(settings.read(keys::TrackLength), 5000);
    EXPECT_EQ(settings.read(keys::MapScale), 256000);
    EXPECT_TRUE(prompt.texts().empty());
    // The time zone is the leading number, colours read as red, green, blue.
    EXPECT_EQ(settings.read(keys::TimeZone), 1);
    EXPECT_EQ(settings.read(keys::DayTimeBackGround), 0u);
    const std::pair<std::string, int> zones[] = {
        {"\"TimeZone\"=\"+1\"", 1},  {"\"TimeZone\"=\"-3\"", -3}, {"\"TimeZone\"=\"abc\"", 0},
        {"\"TimeZone\"=\" 5h\"", 5}, {"\"Other\"=\"1\"", 1},      {"\"TimeZone\"=dword:00000003", 1},
    };
    for (const auto& [line, expected] : zones) {
        file(line + "\r\n");
        EXPECT_EQ(settings.read(keys::TimeZone), expected) << line;
    }
    const std::pair<std::string, unsigned> colours[] = {
        {"ff 00 00", 0x0000FFu},
        {"00 FF FF FF", 0xFFFF00u},
        {"00 e5 98", 0x98E500u},
        {"ff 00", 0u},
        {"red", 0u},
        {"1ff 100 0x7a", 0x7A00FFu}, // each part keeps its low byte
    };
    for (const auto& [text, expected] : colours) {
        file("\"NMEADayTimeBackGround\"=\"" + text + "\"\r\n");
        EXPECT_EQ(settings.read(keys::NMEADayTimeBackGround), expected) << text;
    }
}

TEST_F(SettingsTest, FailuresShowWhatTheirRowSaysAndGoodWritesReadBack)
{
    auto isCode = [](std::string_view code) {
        return code.rfind("0x", 0) == 0 && code.size() > 2 &&
               code.find_first_not_of("0123456789abcdef", 2) == std::string::npos;
    };
    EXPECT_FALSE(failingSettings.write(keys::Port, "Com2"));
    EXPECT_FALSE(failingSettings.write(keys::AverageSpeed, 1u)); // always names the value
    EXPECT_FALSE(failingSettings.write(keys::MapScale, 500));    // no key: nothing written, nothing shown
    ASSERT_TRUE(settings.write(keys::Port, "Com1"));
    EXPECT_FALSE(failingSettings.write(keys::DayTimeBackGround, 0));
    EXPECT_FALSE(failingSettings.write(keys::SpeedUnits, 1));
    EXPECT_FALSE(failingSettings.write(keys::MapScale, 500));
    const Texts shown = prompt.texts();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0],
              "An error occurred creating or opening the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO");
    EXPECT_EQ(
        shown[1],
        "An error occurred setting the registry value\nHKEY_CURRENT_USER\nSoftware\\VARNO\\AverageSpeed");
    EXPECT_EQ(shown[2], "An error occurred setting the registry "
                        "value\nHKEY_CURRENT_USER\nSoftware\\VARNO\\DayTimeBackGround");
    EXPECT_TRUE(isCode(shown[3])) << shown[3];
    const std::size_t cut = shown[4].find('\n');
    EXPECT_TRUE(isCode(shown[4].substr(0, cut))) << shown[4];
    EXPECT_EQ(shown[4].substr(cut), "\nAn error occurred writing the map scale setting to the registry.\n"
                                    "HKEY_CURRENT_USER\nSoftware\\VARNO\\MapScale");
    // The same file still takes a write that can be made.
    ASSERT_TRUE(settings.write(keys::NightTimeBackGround, 0x7A1300u));
    ASSERT_TRUE(settings.write(keys::MapScale, 8000));
    EXPECT_EQ(store.get(kVarnoKey, "NightTimeBackGround"), Value::sz("00 13 7a"));
    EXPECT_EQ(settings.read(keys::MapScale), 8000);
    EXPECT_EQ(prompt.texts().size(), 5u);
}

TEST_F(SettingsTest, CheckRegistryWritesEveryDefaultKeepsOtherValuesAndSaysWhenItCannot)
{
    file("\"RouteName\"=\"C:\\\\VARNO\\\\Route\\\\r.txt\"\r\n\"StartTimerEnable1\"=dword:00000001\r\n"
         "\"DayTimeBackGround\"=\"ff ff ff\"\r\n\"MapScale\"=\"oops\"\r\n\"Mine\"=\"kept\"\r\n"
         "[HKEY_CURRENT_USER\\Software\\VARNO\\POIFiles]\r\n\"POIFile1\"=\"a.asc\"\r\n");
    const std::string before = readBytes(path);
    EXPECT_FALSE(failingSettings.checkRegistry());
    EXPECT_EQ(
        prompt.texts(),
        (Texts{"An error occurred creating the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO",
               "An error occurred creating the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO\\POIFiles",
               "Registry check finished."}));
    EXPECT_EQ(readBytes(path), before);

    prompt.shown.clear();
    ASSERT_TRUE(settings.checkRegistry());
    EXPECT_EQ(prompt.texts(), (Texts{"Registry check finished."}));
    for (const SettingDef& def : masterTable())
        EXPECT_EQ(store.get(kVarnoKey, def.name), def.type == ValueType::Dword
                                                      ? Value::dword(def.defaultNumber)
                                                      : Value::sz(std::string(def.defaultText)))
            << def.name;
    EXPECT_EQ(store.values(kVarnoKey).size(), masterTable().size() + 1);
    EXPECT_EQ(store.get(kVarnoKey, "Mine"), Value::sz("kept"));
    EXPECT_EQ(store.get(kPoiFilesKey, "POIFile1"), Value::sz("a.asc"));
    EXPECT_EQ(store.keys(), (Texts{"Software\\VARNO", "Software\\VARNO\\POIFiles"}));
}

TEST_F(SettingsTest, AnUnreadableFileIsReportedOnceThenSetUpAfresh)
{
    writeBytes(path, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\VAR");
    EXPECT_FALSE(settings.read(keys::CameraFile));
    EXPECT_EQ(settings.read(keys::TimeZone), 1);
    // Without a key there is no version to warn about: the first-run question comes next.
    EXPECT_FALSE(runVersionCheck(settings));
    EXPECT_EQ(runFirstRunCheck(settings), FirstRunResult::DefaultsWritten);
    ASSERT_EQ(prompt.texts().size(), 2u);
    EXPECT_EQ(prompt.texts()[0], "The settings file\n" + path + "\ncannot be read and is ignored.");
    EXPECT_EQ(prompt.texts()[1], std::string(kSetupQuestion));
}

} // namespace
} // namespace varno::settings
