// The default voices: the phrase table, the files the build speaks, and the first-start copy.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "PulseVoicePlayer.h"
#include "VoiceFolder.h"
#include "cameras/VoiceCatalogue.h"
#include "core/cameras/FakeWarnerSettings.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

std::set<std::string> names(const fs::path& folder)
{
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.insert(e.path().filename().string());
    return out;
}

class VoiceFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root =
            fs::path(::testing::TempDir()) /
            ("voice-folder-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        source = root / "source";
        fs::create_directories(source);
        // A file name with blanks, as the catalogue has, and one that is no voice.
        writeFile(source / "1500.wav", "RIFF-1500");
        writeFile(source / "Speed exceeds limit.wav", "RIFF-speed");
        writeFile(source / "Mute.wav", "RIFF-mute");
        writeFile(source / "phrases.txt", "not a voice");
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root, source;
};

TEST_F(VoiceFolderTest, MissingFolderIsCreatedWithEveryVoiceAndNothingElse)
{
    const fs::path voice = root / "home" / "VARNO" / "Voice";
    EXPECT_TRUE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_EQ(names(voice), (std::set<std::string>{"1500.wav", "Mute.wav", "Speed exceeds limit.wav"}));
    EXPECT_EQ(readFile(voice / "Speed exceeds limit.wav"), "RIFF-speed");
}

TEST_F(VoiceFolderTest, FolderWithoutWavFilesIsFilledAndKeepsItsOtherFiles)
{
    const fs::path voice = root / "Voice";
    fs::create_directories(voice / "old.wav.d");
    writeFile(voice / "notes.txt", "mine");
    EXPECT_TRUE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_EQ(names(voice), (std::set<std::string>{"1500.wav", "Mute.wav", "Speed exceeds limit.wav",
                                                   "notes.txt", "old.wav.d"}));
    EXPECT_EQ(readFile(voice / "notes.txt"), "mine");
}

TEST_F(VoiceFolderTest, FolderWithOneWavOfTheUserIsLeftAlone)
{
    // One recording of the user's own, in capitals, is enough to count as voices.
    const fs::path voice = root / "Voice";
    fs::create_directories(voice);
    writeFile(voice / "1500.WAV", "my own voice");
    EXPECT_TRUE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_EQ(names(voice), (std::set<std::string>{"1500.WAV"}));
    EXPECT_EQ(readFile(voice / "1500.WAV"), "my own voice");
}

TEST_F(VoiceFolderTest, NameTakenByAFolderOrBrokenLinkIsNotReplaced)
{
    const fs::path voice = root / "Voice";
    fs::create_directories(voice / "Mute.wav");
    fs::create_symlink(root / "nowhere.wav", voice / "1500.wav");
    EXPECT_TRUE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_TRUE(fs::is_directory(voice / "Mute.wav"));
    EXPECT_TRUE(fs::is_symlink(voice / "1500.wav"));
    EXPECT_EQ(readFile(voice / "Speed exceeds limit.wav"), "RIFF-speed");
    // No temporary copy is left behind.
    EXPECT_EQ(names(voice).size(), 3u);
}

TEST_F(VoiceFolderTest, MissingOrEmptySourceCreatesNothing)
{
    const fs::path voice = root / "Voice";
    EXPECT_FALSE(installDefaultVoices(voice.string(), (root / "no-such-folder").string()));
    EXPECT_FALSE(fs::exists(voice));
    EXPECT_FALSE(installDefaultVoices(voice.string(), ""));
    EXPECT_FALSE(fs::exists(voice));

    fs::remove(source / "1500.wav");
    fs::remove(source / "Mute.wav");
    fs::remove(source / "Speed exceeds limit.wav");
    EXPECT_FALSE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_FALSE(fs::exists(voice));
}

TEST_F(VoiceFolderTest, VoiceFolderSettingIsUsedOnTheDataRoot)
{
    const char* old = std::getenv("VARNO_HOME");
    const std::string saved = old ? old : "";
    setenv("VARNO_HOME", (root / "home").c_str(), 1);
    test::FakeWarnerSettings settings;
    // Not set: the program's default folder.
    EXPECT_EQ(voiceFolderPath(settings), (root / "home" / "Voice").string());
    settings.strings["VoiceFolder"] = "c:\\varno\\Voices\\Jane";
    EXPECT_EQ(voiceFolderPath(settings), (root / "home" / "Voices" / "Jane").string());
    if (old)
        setenv("VARNO_HOME", saved.c_str(), 1);
    else
        unsetenv("VARNO_HOME");
}

// The phrase table speaks exactly the catalogue: a sound added to one and not
// the other would be silent in every fresh voice folder.
TEST(DefaultVoices, PhraseTableNamesEveryCatalogueFileOnce)
{
    const fs::path table = fs::path(VARNO_TEST_DATA_DIR) / ".." / ".." / "data" / "voice" / "phrases.txt";
    std::ifstream in(table);
    ASSERT_TRUE(in) << table;
    std::multiset<std::string> listed;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        ASSERT_LT(line.find_first_not_of('\t', tab), line.size()) << "no words: " << line;
        listed.insert(line.substr(0, tab));
    }
    std::multiset<std::string> catalogue(cameras::kVoiceCatalogue.begin(), cameras::kVoiceCatalogue.end());
    EXPECT_EQ(listed, catalogue);
}

// What the build spoke plays: every catalogue file is there and decodes as
// the 22050 Hz mono sound espeak-ng writes.
TEST(DefaultVoices, BuildHoldsEveryCatalogueFileAndEachDecodes)
{
    const fs::path folder = defaultVoiceSource();
    if (!fs::exists(folder / "1500.wav"))
        GTEST_SKIP() << "no voices in " << folder << " (built without espeak-ng)";
    for (std::string_view name : cameras::kVoiceCatalogue) {
        std::optional<DecodedVoice> v = decodeVoiceFile((folder / name).string());
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(v->sampleRate, 22050) << name;
        EXPECT_EQ(v->channels, 1) << name;
        // At least a tenth of a second of sound.
        EXPECT_GT(v->samples.size(), 2205u) << name;
    }
}

} // namespace
} // namespace varno::platform
