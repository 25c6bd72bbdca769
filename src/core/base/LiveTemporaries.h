// The temporary files this process is writing right now, so that a signal
// that ends it can take them along, and the owner stamp in their names that
// lets a later write tell a dead process's leftovers from a live one's.
#pragma once

#include <string>

namespace varno {

// Who writes our temporary files: the process id put into their names and a
// test of whether the process with a given id still runs. Left unset (id 0),
// temporaries are judged stale by their age alone.
struct TemporaryOwner {
    unsigned long id = 0;
    bool (*alive)(unsigned long id) = nullptr;
};
void setTemporaryOwner(TemporaryOwner owner);
TemporaryOwner temporaryOwner();

namespace liveTemporaries {

// Notes path as being written. False when it cannot be noted (every slot in
// use, or a path too long for one): then only a later sweep removes it.
bool add(const std::string& path);
// Forgets path once it has been renamed or removed.
void drop(const std::string& path);
// Calls remove on every path noted and not dropped. Safe in a signal
// handler: no allocation, no lock, nothing but reads of fixed slots.
void removeAll(int (*remove)(const char* path));

} // namespace liveTemporaries
} // namespace varno
