// The settings readers and writers with their fallbacks and messages, the defaults and the start-up checks.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "settings/MasterTable.h"
#include "settings/Settings.h"
#include "settings/StartupChecks.h"
#include "support/RecordingPrompt.h"

namespace varno::settings {
namespace {

using Texts = std::vector<std::string>;

class FailingSync final : public FileSync {
public:
    bool flushToDisk(std::FILE*) override { return false; }
};

Value defaultOf(const SettingDef& def)
{
    return def.type == ValueType::Dword ? Value::dword(def.defaultNumber)
                                        : Value::sz(std::string(def.defaultText));
}

struct SettingsFixture : ::testing::Test {
    test::ScratchDir dir;
    std::string path = dir.file("settings.reg");
    SettingsStore store{path};
    FailingSync failing;
    SettingsStore failingStore{path, &failing};
    test::RecordingPrompt prompt;
    Settings settings{store, prompt};
    Settings failingSettings{failingStore, prompt};

    void file(const std::string& values)
    {
        test::writeBytes(path, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n" + values);
    }
};

using SettingsReaders = SettingsFixture;

TEST_F(SettingsReaders, FileNamesFailSilentlyWithoutKeyAndWithTheirMessageWithoutValue)
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
    EXPECT_FALSE(settings.read(keys::StartTimerFilename[0]));
    EXPECT_FALSE(settings.read(keys::StartTimerFilename[1])); // silent
    EXPECT_FALSE(settings.read(keys::LogFolder));             // silent
    EXPECT_FALSE(settings.peek(keys::VoiceFolder));           // silent
    EXPECT_FALSE(settings.read(keys::StartTimerStartTime[0]));
    EXPECT_FALSE(settings.read(keys::NightTimerEndTime));
    EXPECT_FALSE(settings.read(keys::StartTimerEndTime[1])); // silent
    EXPECT_EQ(prompt.texts(), (Texts{"Unable read the map file name from the registry.",
                                     "Unable read the mark file name from the registry.",
                                     "Unable to read the POI folder file name from the registry.",
                                     "Unable read the RoutePick7 file name from the registry.",
                                     "Unable read the StartTimerFilename1 file name from the registry.",
                                     "Unable read the StartTimerStartTime1 time from the registry.",
                                     "Unable read the NightTimerEndTime time from the registry."}));
}

TEST_F(SettingsReaders, OnOffAndNumbersWithTheirFallbacks)
{
    EXPECT_EQ(settings.read(keys::LogTrack), -1);
    EXPECT_EQ(settings.read(keys::SpeedUnits), 0);
    EXPECT_EQ(settings.read(keys::Version), -1);
    EXPECT_EQ(settings.read(keys::TrackLength), -1);
    EXPECT_EQ(settings.read(keys::MapScale), 4000); // no key

    file("\"LogTrack\"=dword:00000001\r\n\"DisplayTrack\"=dword:00000002\r\n\"Exclude\"=\"1\"\r\n"
         "\"SpeedUnits\"=dword:00000002\r\n\"TrackLength\"=dword:00000064\r\n\"Port\"=\"" +
         std::string(50, 'p') + "\"\r\n\"Speed\"=\"" + std::string(50, '9') + "\"\r\n");
    EXPECT_EQ(settings.read(keys::LogTrack), 1);
    EXPECT_EQ(settings.read(keys::DisplayTrack), 0);
    EXPECT_EQ(settings.read(keys::Exclude), -1); // a text is not a number
    EXPECT_EQ(settings.read(keys::SpeedUnits), 2);
    EXPECT_EQ(settings.read(keys::TrackLength), 500);
    EXPECT_EQ(settings.read(keys::MapScale), 0); // key, but no value
    EXPECT_FALSE(settings.read(keys::Port));     // a port name fits 49 characters
    EXPECT_EQ(settings.read(keys::Speed)->size(), 50u);

    file("\"TrackLength\"=dword:ffffffff\r\n\"MapScale\"=dword:0003e800\r\n\"Version\"=dword:00000008\r\n");
    EXPECT_EQ(settings.read(keys::TrackLength), 5000);
    EXPECT_EQ(settings.read(keys::MapScale), 256000);
    EXPECT_EQ(settings.read(keys::Version), 8);
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(SettingsReaders, TimeZoneIsTheLeadingNumberAndColoursReadAsRedGreenBlue)
{
    EXPECT_EQ(settings.read(keys::TimeZone), 1);
    EXPECT_EQ(settings.read(keys::DayTimeBackGround), 0u);
    const std::vector<std::pair<std::string, int>> zones = {
        {"\"TimeZone\"=\"+1\"", 1},  {"\"TimeZone\"=\"-3\"", -3}, {"\"TimeZone\"=\"abc\"", 0},
        {"\"TimeZone\"=\" 5h\"", 5}, {"\"Other\"=\"1\"", 1},      {"\"TimeZone\"=dword:00000003", 1},
    };
    for (const auto& [line, expected] : zones) {
        file(line + "\r\n");
        EXPECT_EQ(settings.read(keys::TimeZone), expected) << line;
    }
    const std::vector<std::pair<std::string, unsigned>> colours = {
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
    EXPECT_EQ(Settings::formatColour(0x0A0B0Cu), "0c 0b 0a");
}

using SettingsWriters = SettingsFixture;

TEST_F(SettingsWriters, FailuresShowWhatTheirRowSaysAndGoodWritesReadBack)
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
    ASSERT_EQ(prompt.texts().size(), 5u);
    EXPECT_EQ(prompt.texts()[0],
              "An error occurred creating or opening the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO");
    EXPECT_EQ(prompt.texts()[1], "An error occurred setting the registry "
                                 "value\nHKEY_CURRENT_USER\nSoftware\\VARNO\\AverageSpeed");
    EXPECT_EQ(prompt.texts()[2], "An error occurred setting the registry "
                                 "value\nHKEY_CURRENT_USER\nSoftware\\VARNO\\DayTimeBackGround");
    EXPECT_TRUE(isCode(prompt.texts()[3])) << prompt.texts()[3];
    const std::string scale = prompt.texts()[4];
    const std::size_t cut = scale.find('\n');
    EXPECT_TRUE(isCode(scale.substr(0, cut))) << scale;
    EXPECT_EQ(scale.substr(cut), "\nAn error occurred writing the map scale setting to the registry.\n"
                                 "HKEY_CURRENT_USER\nSoftware\\VARNO\\MapScale");
    // The same file still takes a write that can be made.
    ASSERT_TRUE(settings.write(keys::NightTimeBackGround, 0x7A1300u));
    ASSERT_TRUE(settings.write(keys::MapScale, 8000));
    ASSERT_TRUE(settings.write(keys::SpeedUnits, 2));
    EXPECT_EQ(settings.peek(keys::TimeZone), std::nullopt);
    EXPECT_EQ(store.get(kVarnoKey, "NightTimeBackGround"), Value::sz("00 13 7a"));
    EXPECT_EQ(settings.read(keys::SpeedUnits), 2);
    EXPECT_EQ(settings.read(keys::MapScale), 8000);
    EXPECT_EQ(prompt.texts().size(), 5u);
}

TEST_F(SettingsWriters, DefaultsAreTheWholeTableInOrderWithThePoiSubkey)
{
    ASSERT_TRUE(settings.writeDefaults());
    auto values = store.values(kVarnoKey);
    auto table = masterTable();
    ASSERT_EQ(values.size(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(values[i].name, table[i].name);
        EXPECT_EQ(values[i].value, defaultOf(table[i]));
    }
    EXPECT_EQ(store.keys(), (std::vector<std::string>{"Software\\VARNO", "Software\\VARNO\\POIFiles"}));
    EXPECT_TRUE(store.values(kPoiFilesKey).empty());
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(settings.read(keys::NMEADayTimeForeGround), 0xFFFF00u);
    EXPECT_EQ(findSetting("nmeadaytimeforeground")->defaultText, "00 FF FF FF");
    EXPECT_EQ(findSetting("RoutePick10"), nullptr);
}

TEST_F(SettingsWriters, CheckRegistryResetsAConfiguredSystemAndKeepsOtherValues)
{
    file("\"RouteName\"=\"C:\\\\VARNO\\\\Route\\\\r.txt\"\r\n\"StartTimerEnable1\"=dword:00000001\r\n"
         "\"DayTimeBackGround\"=\"ff ff ff\"\r\n\"MapScale\"=\"oops\"\r\n\"Mine\"=\"kept\"\r\n"
         "[HKEY_CURRENT_USER\\Software\\VARNO\\POIFiles]\r\n\"POIFile1\"=\"a.asc\"\r\n");
    ASSERT_TRUE(settings.checkRegistry());
    EXPECT_EQ(prompt.texts(), (Texts{"Registry check finished."}));
    for (const SettingDef& def : masterTable())
        EXPECT_EQ(store.get(kVarnoKey, def.name), defaultOf(def)) << def.name;
    EXPECT_EQ(store.get(kVarnoKey, "Mine"), Value::sz("kept"));
    EXPECT_EQ(store.get(kPoiFilesKey, "POIFile1"), Value::sz("a.asc"));
}

TEST_F(SettingsWriters, CheckRegistryThatCannotWriteSaysSoAndLeavesTheFile)
{
    file("\"Port\"=\"Com7\"\r\n");
    const std::string before = test::readBytes(path);
    EXPECT_FALSE(failingSettings.checkRegistry());
    EXPECT_EQ(
        prompt.texts(),
        (Texts{"An error occurred creating the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO",
               "An error occurred creating the registry key\nHKEY_CURRENT_USER\nSoftware\\VARNO\\POIFiles",
               "Registry check finished."}));
    EXPECT_EQ(test::readBytes(path), before);
}

using StartupChecks = SettingsFixture;

TEST_F(StartupChecks, AFreshProfileSeesTheVersionMessageThenTheQuestion)
{
    EXPECT_TRUE(runVersionCheck(settings));
    EXPECT_EQ(runFirstRunCheck(settings), FirstRunResult::DefaultsWritten);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text,
              "This copy of VARNO is a later version to the\nversion number in the registry.\n"
              "It is reccomended that you run Check Registry\nand then set your options to "
              "make sure\nthe registry is up to date.");
    EXPECT_EQ(prompt.shown[1].text,
              "Setup registry values?\n\nSetup options for this program are\nstored in the "
              "registry.\n\nThe first time you run the program\nyou will be asked this question. ");
    EXPECT_EQ(prompt.shown[1].buttons, PromptButtons::OkCancel);

    // The next start asks nothing.
    prompt.shown.clear();
    EXPECT_FALSE(runVersionCheck(settings));
    EXPECT_EQ(runFirstRunCheck(settings), FirstRunResult::KeyPresent);
    EXPECT_TRUE(prompt.shown.empty());

    // Only a stored version below ours is warned about.
    file("\"Version\"=dword:00000007\r\n");
    EXPECT_TRUE(runVersionCheck(settings));
    file("\"Version\"=dword:00000009\r\n");
    EXPECT_FALSE(runVersionCheck(settings));
    EXPECT_EQ(prompt.texts().size(), 1u);
}

TEST_F(StartupChecks, CancelLeavesNoSettings)
{
    prompt.script({PromptAnswer::Cancel});
    EXPECT_EQ(runFirstRunCheck(settings), FirstRunResult::Declined);
    EXPECT_EQ(prompt.texts().back(), "The program will not operate without\nsettings in the registry.");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(StartupChecks, AnUnreadableFileIsReportedOnceThenSetUpAfresh)
{
    const std::string junk = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\VAR";
    test::writeBytes(path, junk);
    EXPECT_FALSE(settings.read(keys::CameraFile));
    EXPECT_EQ(settings.read(keys::TimeZone), 1);
    runVersionCheck(settings);
    EXPECT_EQ(runFirstRunCheck(settings), FirstRunResult::DefaultsWritten);
    ASSERT_EQ(prompt.texts().size(), 3u);
    EXPECT_EQ(prompt.texts()[0], "The settings file\n" + path + "\ncannot be read and is ignored.");
}

} // namespace
} // namespace varno::settings
