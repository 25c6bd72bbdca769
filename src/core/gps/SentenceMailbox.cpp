// The one-sentence hand-off from the reader and replay threads to the view.
#include "gps/SentenceMailbox.h"

namespace varno::gps {

bool SentenceMailbox::offer(std::string_view sentence)
{
    std::lock_guard lock(mutex_);
    if (pending_)
        return false;
    slot_.assign(sentence.substr(0, kMaxSentence));
    pending_ = true;
    return true;
}

void SentenceMailbox::replace(std::string_view sentence)
{
    std::lock_guard lock(mutex_);
    slot_.assign(sentence.substr(0, kMaxSentence));
    pending_ = true;
}

SentenceMailbox::Snapshot SentenceMailbox::snapshot() const
{
    std::lock_guard lock(mutex_);
    return {slot_, pending_};
}

void SentenceMailbox::clearPending()
{
    std::lock_guard lock(mutex_);
    pending_ = false;
}

std::optional<std::string> SentenceMailbox::take()
{
    std::lock_guard lock(mutex_);
    if (!pending_)
        return std::nullopt;
    pending_ = false;
    return slot_;
}

void SentenceMailbox::reset()
{
    std::lock_guard lock(mutex_);
    slot_.clear();
    pending_ = false;
}

} // namespace varno::gps
