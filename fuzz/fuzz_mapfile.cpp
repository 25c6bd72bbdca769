// Fuzz target: track editor map files, read, written and read again, and the
// positions of NMEA logs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "trackedit/TrackStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varno::trackedit;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TrackStore store;
    const bool read = !parseMapFile(bytes, store);
    for (const TrackEntry& e : store.tracks)
        if ((e.description && e.description->size() >= kMapLineBuffer) || (e.path && e.path->size() >= kMapLineBuffer))
            __builtin_trap();
    // What a map file gives is written so that it reads back the same.
    if (read) {
        const std::string once = formatMapFile(store);
        TrackStore again;
        if (parseMapFile(once, again) || formatMapFile(again) != once)
            __builtin_trap();
    }
    (void)parseLogPoints(bytes);
    return 0;
}
