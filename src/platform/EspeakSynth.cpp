// Speech synthesis with espeak-ng.
#include "EspeakSynth.h"

#include <espeak-ng/speak_lib.h>

namespace varno::platform {
namespace {

int collect(short* wav, int count, espeak_EVENT* events)
{
    auto* out = static_cast<std::vector<short>*>(events->user_data);
    if (wav && count > 0)
        out->insert(out->end(), wav, wav + count);
    return 0;
}

// espeak-ng is set up once, on first use; its sample rate, or 0 when it cannot be.
int initialised()
{
    static const int rate = [] {
        const int r = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
        if (r <= 0)
            return 0;
        espeak_SetSynthCallback(collect);
        espeak_SetVoiceByName("en");
        return r;
    }();
    return rate;
}

} // namespace

std::optional<DecodedVoice> synthesizeSpeech(const std::string& text)
{
    const int rate = initialised();
    if (rate == 0 || text.empty())
        return std::nullopt;
    DecodedVoice voice;
    voice.sampleRate = rate;
    voice.channels = 1;
    if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_AUTO, nullptr,
                     &voice.samples) != EE_OK ||
        voice.samples.empty())
        return std::nullopt;
    return voice;
}

} // namespace varno::platform
