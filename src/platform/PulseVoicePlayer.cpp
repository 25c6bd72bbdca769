// Plays voice files: libsndfile decodes, the PulseAudio simple API plays to the end.
#include "PulseVoicePlayer.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include "VoicePlayback.h"

namespace varno::platform {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
struct PulseCloser {
    void operator()(pa_simple* s) const { pa_simple_free(s); }
};

} // namespace

void PulseVoicePlayer::play(const std::string& path)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels < 1 || info.channels > static_cast<int>(PA_CHANNELS_MAX) || info.samplerate <= 0)
        return;
    std::vector<short> samples(static_cast<std::size_t>(info.frames) *
                               static_cast<std::size_t>(info.channels));
    sf_count_t frames = sf_readf_short(file.get(), samples.data(), info.frames);
    if (frames <= 0)
        return;

    setenv("PULSE_PROP_media.role", "event", 0);
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<std::uint32_t>(info.samplerate);
    spec.channels = static_cast<std::uint8_t>(info.channels);
    int error = 0;
    std::unique_ptr<pa_simple, PulseCloser> stream(pa_simple_new(
        nullptr, "VARNO", PA_STREAM_PLAYBACK, nullptr, "camera warning", &spec, nullptr, nullptr, &error));
    if (!stream) {
        if (!reportedNoServer_) {
            reportedNoServer_ = true;
            std::fprintf(stderr, "varno: no sound server, voice warnings are silent (%s)\n",
                         pa_strerror(error));
        }
        return;
    }
    std::size_t bytes =
        static_cast<std::size_t>(frames) * static_cast<std::size_t>(info.channels) * sizeof(short);
    if (pa_simple_write(stream.get(), samples.data(), bytes, &error) == 0)
        pa_simple_drain(stream.get(), &error);
}

std::unique_ptr<cameras::VoicePlayer> makeVoicePlayer()
{
    return std::make_unique<PulseVoicePlayer>();
}

} // namespace varno::platform
