// The PulseAudio voice player: decoding, and silence without a sound server.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>

#include <gtest/gtest.h>

#include "PulseVoicePlayer.h"
#include "TestPty.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

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
    std::ofstream(p, std::ios::binary) << s;
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
    std::ofstream(text) << "This is not a sound.\n";
    for (const fs::path& p : {fs::path(::testing::TempDir()) / "no-such-voice.wav",
                              writeWav("empty.wav", 22050, 1, 0), text, fs::path(::testing::TempDir())})
        EXPECT_FALSE(decodeVoiceFile(p.string())) << p;
}

// With the sound server out of reach a drive's worth of warnings all return,
// silently but for one line and one report, and only the first one tries to connect.
TEST(PulseVoicePlayer, NoSoundServerIsOneLineOnStderrOneReportAndOneAttempt)
{
    const fs::path wav = writeWav("beep.wav", 22050, 1, 2205);
    const fs::path errFile = fs::path(::testing::TempDir()) / "player-stderr.txt";
    test::ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/varno-no-such-socket");
    std::vector<std::string> reports;
    PulseVoicePlayer player([&reports](const std::string& message) { reports.push_back(message); });

    std::fflush(stderr);
    const int savedErr = dup(2);
    const int fd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    close(fd);
    player.play((fs::path(::testing::TempDir()) / "missing.wav").string());
    const unsigned long afterMissing = player.connectionAttempts();
    for (int i = 0; i < 40; ++i)
        player.play(wav.string());
    std::fflush(stderr);
    dup2(savedErr, 2);
    close(savedErr);
    const std::string err = test::readWholeFile(errFile);

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
