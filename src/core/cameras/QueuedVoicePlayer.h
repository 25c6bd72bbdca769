// Plays voice files on a thread of its own, in the order asked, so the caller never waits for a sound.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "cameras/VoicePlayer.h"

namespace varno::cameras {

// play() puts the path at the end of a queue and returns at once; the player
// thread hands the paths to the inner player one after another, each once the
// one before has finished. The warner's requests are therefore heard exactly
// as they were asked for, only no longer on the caller's time.
//
// The inner player is used by the player thread alone from construction on:
// set it up completely before handing it over.
//
// Destruction drops what has not started playing yet, waits for the sound
// playing now to end and joins the thread: a closing window does not speak
// on. A file the inner player throws on is skipped.
class QueuedVoicePlayer final : public VoicePlayer {
public:
    explicit QueuedVoicePlayer(std::unique_ptr<VoicePlayer> inner);
    ~QueuedVoicePlayer() override;
    QueuedVoicePlayer(const QueuedVoicePlayer&) = delete;
    QueuedVoicePlayer& operator=(const QueuedVoicePlayer&) = delete;

    void play(const std::string& path) override;
    void speak(const std::string& text) override;

private:
    void run();

    std::unique_ptr<VoicePlayer> inner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    struct Item {
        std::string text; // a path, or the words to say
        bool speech = false;
    };
    void push(Item item);
    std::deque<Item> pending_; // guarded by mutex_
    bool stopping_ = false;    // guarded by mutex_
    std::thread thread_;       // last: starts once the rest is ready
};

} // namespace varno::cameras
