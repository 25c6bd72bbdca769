// The voices: the phrase table, the files the build speaks, the first-start copy, decoding, and silence
// without a sound server.
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "EspeakSynth.h"
#include "PulseVoicePlayer.h"
#include "TestPty.h"
#include "VoiceFolder.h"
#include "cameras/VoiceCatalogue.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

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
        for (const auto& [name, bytes] : voices)
            test::writeBytes((source / name).string(), bytes);
        test::writeBytes((source / "phrases.txt").string(), "not a voice");
    }
    test::ScratchDir scratch;
    fs::path root = scratch.path(), source = root / "source";
    const std::map<std::string, std::string> voices{
        {"1500.wav", "RIFF-1500"}, {"Mute.wav", "RIFF-mute"}, {"Speed exceeds limit.wav", "RIFF-speed"}};
};

TEST_F(VoiceFolderTest, VoicesAreCopiedOnlyIntoAFolderWithoutWavFilesAndOnlyFromOneWithVoices)
{
    const struct {
        const char* what;
        std::function<void(const fs::path&)> prepare;
        std::map<std::string, std::string> after;
    } cases[] = {
        {"missing, with its parents", {}, voices},
        {"other files are kept",
         [](const fs::path& v) {
             fs::create_directories(v / "old.wav.d");
             test::writeBytes((v / "notes.txt").string(), "mine");
         },
         {{"1500.wav", "RIFF-1500"},
          {"Mute.wav", "RIFF-mute"},
          {"Speed exceeds limit.wav", "RIFF-speed"},
          {"notes.txt", "mine"},
          {"old.wav.d", "<folder>"}}},
        // One recording of the user's own, in capitals, is enough to count as voices.
        {"the user's own voice",
         [](const fs::path& v) { test::writeBytes((v / "1500.WAV").string(), "my own voice"); },
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
    // A missing or empty source, or one without a voice in it, creates nothing.
    const fs::path voice = root / "Voice";
    for (const auto& v : voices)
        fs::remove(source / v.first);
    for (const fs::path& from : {root / "no-such-folder", fs::path(), source}) {
        EXPECT_FALSE(installDefaultVoices(voice.string(), from.string())) << from;
        EXPECT_FALSE(fs::exists(voice)) << from;
    }
}

// The phrase table speaks exactly the catalogue: a sound added to one and not
// the other would be silent in every fresh voice folder.
TEST(DefaultVoices, PhraseTableNamesEveryCatalogueFileOnce)
{
    const fs::path table = fs::path(VARNO_TEST_DATA_DIR) / ".." / ".." / "data" / "voice" / "phrases.txt";
    std::ifstream in(table);
    ASSERT_TRUE(in) << table;
    std::multiset<std::string> listed;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
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
        EXPECT_EQ(std::pair(v->sampleRate, v->channels), std::pair(22050, 1)) << name;
        EXPECT_GT(v->samples.size(), 2205u) << name; // at least a tenth of a second
    }
}

// A 16-bit PCM WAV file of `frames` frames of silence.
fs::path writeWav(const std::string& name, std::uint32_t rate, std::uint32_t channels, std::uint32_t frames)
{
    std::string s;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    const std::uint32_t data = frames * channels * 2;
    s += "RIFF";
    put(36 + data, 4);
    s += "WAVEfmt ";
    for (auto [v, n] : std::initializer_list<std::pair<std::uint32_t, int>>{
             {16, 4}, {1, 2}, {channels, 2}, {rate, 4}, {rate * channels * 2, 4}, {channels * 2, 2}, {16, 2}})
        put(v, n);
    s += "data";
    put(data, 4);
    s.append(data, '\0');
    const fs::path p = fs::path(::testing::TempDir()) / name;
    test::writeBytes(p.string(), s);
    return p;
}

TEST(VoiceDecode, ReadsWavAndRefusesWhatIsNoSound)
{
    std::optional<DecodedVoice> v = decodeVoiceFile(writeWav("stereo.wav", 22050, 2, 300).string());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->sampleRate, 22050);
    EXPECT_EQ(v->channels, 2);
    EXPECT_EQ(v->samples.size(), 600u);

    const fs::path text = fs::path(::testing::TempDir()) / "text.wav";
    test::writeBytes(text.string(), "This is not a sound.\n");
    for (const fs::path& p : {fs::path(::testing::TempDir()) / "no-such-voice.wav",
                              writeWav("empty.wav", 22050, 1, 0), text, fs::path(::testing::TempDir())})
        EXPECT_FALSE(decodeVoiceFile(p.string())) << p;
}

// With the sound server out of reach a drive's worth of warnings all return,
// silently but for one line and one report, and only the first one tries to connect.
TEST(PulseVoicePlayer, NoSoundServerIsOneLineOnStderrOneReportAndOneAttempt)
{
    const fs::path wav = writeWav("beep.wav", 22050, 1, 2205);
    test::ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/varno-no-such-socket");
    std::vector<std::string> reports;
    PulseVoicePlayer player([&reports](const std::string& message) { reports.push_back(message); });

    ::testing::internal::CaptureStderr();
    player.play((fs::path(::testing::TempDir()) / "missing.wav").string());
    const unsigned long afterMissing = player.connectionAttempts();
    for (int i = 0; i < 40; ++i)
        player.play(wav.string());
    const std::string err = ::testing::internal::GetCapturedStderr();

    // A missing file does not even look for the server.
    EXPECT_EQ(afterMissing, 0u);
    EXPECT_EQ(player.connectionAttempts(), 1u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("no sound server"), std::string::npos) << err;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("No sound server, voice warnings are silent (", 0), 0u) << reports[0];
}

} // namespace
} // namespace varno::platform

TEST(Speech, EspeakSaysARouteTextAsMonoSamples)
{
    const auto voice = varno::platform::synthesizeSpeech("Turn left A43 512 metres");
    if (!voice)
        GTEST_SKIP() << "espeak-ng or its voice data is not available";
    EXPECT_EQ(voice->channels, 1);
    EXPECT_GT(voice->sampleRate, 8000);
    // Two seconds or so of speech, not silence.
    EXPECT_GT(voice->samples.size(), static_cast<std::size_t>(voice->sampleRate / 2));
    EXPECT_TRUE(std::any_of(voice->samples.begin(), voice->samples.end(), [](short s) { return s > 1000; }));
    EXPECT_FALSE(varno::platform::synthesizeSpeech(""));
}
