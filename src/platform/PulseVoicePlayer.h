// Plays voice files: libsndfile decodes, the PulseAudio simple API plays to the end.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cameras/VoicePlayer.h"

namespace varno::platform {

// A sound file decoded to 16-bit samples, channels interleaved.
struct DecodedVoice {
    int sampleRate = 0; // [Hz]
    int channels = 0;
    std::vector<short> samples;
};

// The whole file at path; nullopt when it is missing, is no sound file
// libsndfile reads, or holds no sample.
std::optional<DecodedVoice> decodeVoiceFile(const std::string& path);

// Each play() decodes the whole file and blocks until the server has played
// it (pa_simple_drain), as the warner expects. A missing or unreadable file
// plays nothing.
//
// When no sound server can be reached, play() is silent and one line goes to
// stderr, the first time only; the same words go to the noServer report, if
// there is one (on the thread that plays). A failed connection is not tried
// again for kRetryAfter: reaching a server that is not there can take a while
// (a remote PULSE_SERVER waits for its connect timeout), and every warning of
// a drive would pay it. A sound server that appears later is used from then on.
//
// The stream announces itself with the media role "event" through the
// PULSE_PROP_media.role environment variable (unless the user set it): the
// simple API takes no property list, and libpulse reads the variable when it
// connects. It is set once, when the player is made — make the player before
// starting threads that read the environment.
class PulseVoicePlayer final : public cameras::VoicePlayer {
public:
    static constexpr std::chrono::seconds kRetryAfter{30};

    // Told once, with a sentence for the user, that there is no sound server.
    using NoServerReport = std::function<void(const std::string& message)>;

    explicit PulseVoicePlayer(NoServerReport noServer = {});
    void play(const std::string& path) override;
    // Synthesised with espeak-ng, then played like a file.
    void speak(const std::string& text) override;

    // Connections to the sound server tried so far.
    unsigned long connectionAttempts() const { return attempts_; }

private:
    void playSamples(const DecodedVoice& voice);

    NoServerReport noServer_;
    bool reportedNoServer_ = false;
    std::optional<std::chrono::steady_clock::time_point> failedAt_;
    unsigned long attempts_ = 0;
};

} // namespace varno::platform
