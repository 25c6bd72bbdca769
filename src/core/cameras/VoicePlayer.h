// Plays one sound file to the end; the platform supplies the real one, tests a recorder.
#pragma once

#include <string>

namespace varno::cameras {

class VoicePlayer {
public:
    virtual ~VoicePlayer() = default;
    // Plays the WAV file at path: a player of the machine's sound returns when
    // it has finished, a QueuedVoicePlayer at once. A file that is missing or
    // cannot be played plays nothing; the caller carries on.
    virtual void play(const std::string& path) = 0;
    // Says a text with the machine's speech, in turn with the files: a
    // QueuedVoicePlayer queues it behind the sound playing now. Silent unless
    // the player can speak.
    virtual void speak(const std::string& text) { (void)text; }
};

// Plays nothing; for callers without sound.
class SilentVoicePlayer final : public VoicePlayer {
public:
    void play(const std::string&) override {}
};

} // namespace varno::cameras
