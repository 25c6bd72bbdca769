// Plays voice files on a thread of its own, in the order asked, so the caller never waits for a sound.
#include "cameras/QueuedVoicePlayer.h"

#include <exception>
#include <utility>

namespace varno::cameras {

QueuedVoicePlayer::QueuedVoicePlayer(std::unique_ptr<VoicePlayer> inner)
    : inner_(inner ? std::move(inner) : std::make_unique<SilentVoicePlayer>()), thread_([this] { run(); })
{
}

QueuedVoicePlayer::~QueuedVoicePlayer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

void QueuedVoicePlayer::play(const std::string& path)
{
    push({path, false});
}

void QueuedVoicePlayer::speak(const std::string& text)
{
    push({text, true});
}

void QueuedVoicePlayer::push(Item item)
{
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(item));
    }
    wake_.notify_one();
}

void QueuedVoicePlayer::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_)
            return;
        Item item = std::move(pending_.front());
        pending_.pop_front();
        lock.unlock();
        try {
            if (item.speech)
                inner_->speak(item.text);
            else
                inner_->play(item.text);
        } catch (const std::exception&) {
            // This file cannot be played (out of memory decoding it, say); the
            // warnings after it still can.
        }
        lock.lock();
    }
}

} // namespace varno::cameras
