// The default voices: the phrase table, the files the build speaks, and the first-start copy.
#include <functional>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "PulseVoicePlayer.h"
#include "TestPty.h"
#include "core/base/ScratchFiles.h"
#include "VoiceFolder.h"
#include "cameras/VoiceCatalogue.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& p, const std::string& bytes)
{
    test::writeBytes(p.string(), bytes);
}

// Each entry of a folder: a file's bytes, or what else stands there.
std::map<std::string, std::string> listing(const fs::path& folder)
{
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out[e.path().filename().string()] = e.is_symlink()     ? "<link>"
                                            : e.is_directory() ? "<folder>"
                                                               : test::readBytes(e.path().string());
    return out;
}

class VoiceFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(source);
        // A file name with blanks, as the catalogue has, and one that is no voice.
        writeFile(source / "1500.wav", "RIFF-1500");
        writeFile(source / "Speed exceeds limit.wav", "RIFF-speed");
        writeFile(source / "Mute.wav", "RIFF-mute");
        writeFile(source / "phrases.txt", "not a voice");
    }
    test::ScratchDir scratch;
    fs::path root = scratch.path(), source = root / "source";
};

TEST_F(VoiceFolderTest, VoicesAreCopiedOnlyIntoAFolderWithoutWavFiles)
{
    const std::map<std::string, std::string> voices{
        {"1500.wav", "RIFF-1500"}, {"Mute.wav", "RIFF-mute"}, {"Speed exceeds limit.wav", "RIFF-speed"}};
    auto plus = [&](std::map<std::string, std::string> more) {
        more.insert(voices.begin(), voices.end());
        return more;
    };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> prepare;
        std::map<std::string, std::string> after;
    } cases[] = {
        {"missing, with its parents", {}, voices},
        {"other files are kept",
         [](const fs::path& v) {
             fs::create_directories(v / "old.wav.d");
             writeFile(v / "notes.txt", "mine");
         },
         plus({{"notes.txt", "mine"}, {"old.wav.d", "<folder>"}})},
        // One recording of the user's own, in capitals, is enough to count as voices.
        {"the user's own voice",
         [](const fs::path& v) { writeFile(v / "1500.WAV", "my own voice"); },
         {{"1500.WAV", "my own voice"}}},
        // Names taken by a folder or a broken link are not replaced, and no temporary copy is left.
        {"names taken",
         [&](const fs::path& v) {
             fs::create_directories(v / "Mute.wav");
             fs::create_symlink(root / "nowhere.wav", v / "1500.wav");
         },
         {{"1500.wav", "<link>"}, {"Mute.wav", "<folder>"}, {"Speed exceeds limit.wav", "RIFF-speed"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path voice = root / c.what / "VARNO" / "Voice";
        if (c.prepare) {
            fs::create_directories(voice);
            c.prepare(voice);
        }
        EXPECT_TRUE(installDefaultVoices(voice.string(), source.string()));
        EXPECT_EQ(listing(voice), c.after);
    }
}

TEST_F(VoiceFolderTest, MissingOrEmptySourceCreatesNothing)
{
    const fs::path voice = root / "Voice";
    EXPECT_FALSE(installDefaultVoices(voice.string(), (root / "no-such-folder").string()));
    EXPECT_FALSE(fs::exists(voice));
    EXPECT_FALSE(installDefaultVoices(voice.string(), ""));
    EXPECT_FALSE(fs::exists(voice));

    for (const char* v : {"1500.wav", "Mute.wav", "Speed exceeds limit.wav"})
        fs::remove(source / v);
    EXPECT_FALSE(installDefaultVoices(voice.string(), source.string()));
    EXPECT_FALSE(fs::exists(voice));
}

TEST_F(VoiceFolderTest, VoiceFolderSettingIsUsedOnTheDataRoot)
{
    test::ScopedEnv home("VARNO_HOME", (root / "home").string());
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    // Not set: the program's default folder.
    EXPECT_EQ(voiceFolderPath(settings), (root / "home" / "Voice").string());
    settings.set(settings::keys::VoiceFolder, "c:\\varno\\Voices\\Jane");
    EXPECT_EQ(voiceFolderPath(settings), (root / "home" / "Voices" / "Jane").string());
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
