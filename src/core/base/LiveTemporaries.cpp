// The temporary files this process is writing right now.
#include "base/LiveTemporaries.h"

#include <array>
#include <atomic>
#include <cstring>

namespace varno {
namespace {

// A signal handler may neither allocate nor lock, so the paths live in fixed
// slots; a conversion has a handful of temporaries open at most.
constexpr std::size_t kSlots = 32;
constexpr std::size_t kPathBytes = 4096;

enum SlotState : int { kFree, kFilling, kLive };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathBytes] = {};
};

std::array<Slot, kSlots> gSlots;
std::atomic<unsigned long> gOwnerId{0};
std::atomic<bool (*)(unsigned long)> gOwnerAlive{nullptr};

} // namespace

void setTemporaryOwner(TemporaryOwner owner)
{
    gOwnerId = owner.id;
    gOwnerAlive = owner.alive;
}

TemporaryOwner temporaryOwner()
{
    return {gOwnerId.load(), gOwnerAlive.load()};
}

namespace liveTemporaries {

bool add(const std::string& path)
{
    if (path.size() >= kPathBytes)
        return false;
    for (Slot& slot : gSlots) {
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling))
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state = kLive;
        return true;
    }
    return false;
}

void drop(const std::string& path)
{
    for (Slot& slot : gSlots) {
        int expected = kLive;
        if (slot.state.load() == kLive && path == slot.path &&
            slot.state.compare_exchange_strong(expected, kFilling)) {
            slot.path[0] = '\0';
            slot.state = kFree;
            return;
        }
    }
}

void removeAll(int (*remove)(const char* path))
{
    for (Slot& slot : gSlots)
        if (slot.state.load() == kLive)
            remove(slot.path);
}

} // namespace liveTemporaries
} // namespace varno
