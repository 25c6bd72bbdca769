// The PulseAudio voice player: decoding, and silence without a sound server.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "PulseVoicePlayer.h"

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

void put16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}
void put32(std::string& s, std::uint32_t v)
{
    put16(s, static_cast<std::uint16_t>(v & 0xffff));
    put16(s, static_cast<std::uint16_t>(v >> 16));
}

// A PCM WAV file of `frames` frames of silence.
fs::path writeWav(const fs::path& p, int rate, int channels, std::uint32_t frames)
{
    const std::uint32_t data = frames * static_cast<std::uint32_t>(channels) * 2;
    std::string s = "RIFF";
    put32(s, 36 + data);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, static_cast<std::uint16_t>(channels));
    put32(s, static_cast<std::uint32_t>(rate));
    put32(s, static_cast<std::uint32_t>(rate * channels * 2));
    put16(s, static_cast<std::uint16_t>(channels * 2));
    put16(s, 16);
    s += "data";
    put32(s, data);
    s.append(data, '\0');
    std::ofstream(p, std::ios::binary) << s;
    return p;
}

fs::path tempPath(const std::string& name)
{
    return fs::path(::testing::TempDir()) / name;
}

TEST(VoiceDecode, ReadsWavAndRefusesWhatIsNoSound)
{
    std::optional<DecodedVoice> v = decodeVoiceFile(writeWav(tempPath("stereo.wav"), 22050, 2, 300).string());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->sampleRate, 22050);
    EXPECT_EQ(v->channels, 2);
    EXPECT_EQ(v->samples.size(), 600u);

    EXPECT_FALSE(decodeVoiceFile(tempPath("no-such-voice.wav").string()));
    EXPECT_FALSE(decodeVoiceFile(writeWav(tempPath("empty.wav"), 22050, 1, 0).string()));
    const fs::path text = tempPath("text.wav");
    std::ofstream(text) << "This is not a sound.\n";
    EXPECT_FALSE(decodeVoiceFile(text.string()));
    EXPECT_FALSE(decodeVoiceFile(::testing::TempDir()));
}

// Captures what this process writes to stderr while it lives.
class StderrCapture {
public:
    explicit StderrCapture(const fs::path& file) : file_(file)
    {
        std::fflush(stderr);
        saved_ = dup(2);
        int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~StderrCapture() { restore(); }
    std::string restore()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
        std::ifstream in(file_);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

private:
    fs::path file_;
    int saved_ = -1;
};

// With the sound server out of reach a drive's worth of warnings all return,
// silently but for one line, and only the first one tries to connect.
TEST(PulseVoicePlayer, NoSoundServerIsOneLineOnStderrAndOneAttempt)
{
    const fs::path wav = writeWav(tempPath("beep.wav"), 22050, 1, 2205);
    const char* old = std::getenv("PULSE_SERVER");
    const std::string saved = old ? old : "";
    setenv("PULSE_SERVER", "unix:/nonexistent/varno-no-such-socket", 1);

    PulseVoicePlayer player;
    StderrCapture capture(tempPath("player-stderr.txt"));
    player.play(tempPath("missing.wav").string());
    const unsigned long afterMissing = player.connectionAttempts();
    for (int i = 0; i < 40; ++i)
        player.play(wav.string());
    const std::string err = capture.restore();

    if (old)
        setenv("PULSE_SERVER", saved.c_str(), 1);
    else
        unsetenv("PULSE_SERVER");

    // A missing file does not even look for the server.
    EXPECT_EQ(afterMissing, 0u);
    EXPECT_EQ(player.connectionAttempts(), 1u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("no sound server"), std::string::npos) << err;
}

} // namespace
} // namespace varno::platform
