// PlayVoice, SayDistance and the Muted flag: every sound the warner makes goes through here.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "cameras/VoicePlayer.h"
#include "settings/Settings.h"

namespace varno::cameras {

class Voice {
public:
    Voice(settings::Settings& settings, VoicePlayer& player, std::string dataRoot)
        : settings_(settings), player_(&player), dataRoot_(std::move(dataRoot))
    {
    }

    // Plays the catalogue file for sound (anything else plays "invalid.wav")
    // from the VoiceFolder, read again for every sound, through the player
    // (which may return before the sound ends). Nothing at all while Muted.
    void PlayVoice(std::string_view sound);
    // Plays the distance file for metres (truncated); other distances play nothing.
    void SayDistance(double metres);

    // "Mute": unmuting plays "Unmute.wav" afterwards, muting plays "Mute.wav"
    // first, so both are heard.
    void toggleMute();

    void setPlayer(VoicePlayer& player) { player_ = &player; }

    // Told of every sound requested while not muted (the catalogue file
    // name), whether or not the folder can be read; varno-cli lists them.
    std::function<void(std::string_view file)> onRequest;

    // Process-wide silence; not saved.
    bool Muted = false;

private:
    settings::Settings& settings_;
    VoicePlayer* player_;
    std::string dataRoot_;
};

} // namespace varno::cameras
