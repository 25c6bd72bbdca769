// Plays voice files: libsndfile decodes, the PulseAudio simple API plays to the end.
#include "PulseVoicePlayer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include "EspeakSynth.h"
#include "VoicePlayback.h"

namespace varno::platform {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
struct PulseCloser {
    void operator()(pa_simple* s) const { pa_simple_free(s); }
};

// Longer than any voice file could sensibly be; a header claiming more is broken.
constexpr sf_count_t kMaxFrames = sf_count_t{1} << 26;

} // namespace

std::optional<DecodedVoice> decodeVoiceFile(const std::string& path)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels < 1 || info.channels > static_cast<int>(PA_CHANNELS_MAX) ||
        info.samplerate <= 0 || info.frames <= 0 || info.frames > kMaxFrames)
        return std::nullopt;
    DecodedVoice voice;
    voice.sampleRate = info.samplerate;
    voice.channels = info.channels;
    voice.samples.resize(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    sf_count_t frames = sf_readf_short(file.get(), voice.samples.data(), info.frames);
    if (frames <= 0)
        return std::nullopt;
    voice.samples.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(info.channels));
    return voice;
}

PulseVoicePlayer::PulseVoicePlayer(NoServerReport noServer) : noServer_(std::move(noServer))
{
    setenv("PULSE_PROP_media.role", "event", 0);
}

void PulseVoicePlayer::play(const std::string& path)
{
    if (std::optional<DecodedVoice> voice = decodeVoiceFile(path))
        playSamples(*voice);
}

void PulseVoicePlayer::speak(const std::string& text)
{
    if (std::optional<DecodedVoice> voice = synthesizeSpeech(text))
        playSamples(*voice);
}

void PulseVoicePlayer::playSamples(const DecodedVoice& voice)
{
    const auto now = std::chrono::steady_clock::now();
    if (failedAt_ && now - *failedAt_ < kRetryAfter)
        return;

    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<std::uint32_t>(voice.sampleRate);
    spec.channels = static_cast<std::uint8_t>(voice.channels);
    int error = 0;
    ++attempts_;
    std::unique_ptr<pa_simple, PulseCloser> stream(pa_simple_new(
        nullptr, "VARNO", PA_STREAM_PLAYBACK, nullptr, "camera warning", &spec, nullptr, nullptr, &error));
    if (!stream) {
        // A sample format the server refuses is this file's fault, not the server's.
        if (error == PA_ERR_INVALID || error == PA_ERR_NOTSUPPORTED)
            return;
        failedAt_ = now;
        if (!reportedNoServer_) {
            reportedNoServer_ = true;
            const std::string silent = std::string("voice warnings are silent (") + pa_strerror(error) + ")";
            std::fprintf(stderr, "varno: no sound server, %s\n", silent.c_str());
            if (noServer_)
                noServer_("No sound server, " + silent);
        }
        return;
    }
    failedAt_.reset();
    const std::size_t bytes = voice.samples.size() * sizeof(short);
    if (pa_simple_write(stream.get(), voice.samples.data(), bytes, &error) == 0)
        pa_simple_drain(stream.get(), &error);
}

std::unique_ptr<cameras::VoicePlayer> makeVoicePlayer(std::function<void(const std::string&)> noServer)
{
    return std::make_unique<PulseVoicePlayer>(std::move(noServer));
}

} // namespace varno::platform
