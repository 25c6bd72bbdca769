// Fuzz target: the record file reader, and a record written from what it restored read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Prompt.h"
#include "gps/CNmeaDecoder.h"
#include "record/RecordFile.h"
#include "views/TrackLogging.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace varno;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SilentPrompt prompt;
    views::TrackSettings settings{
        [](std::string_view) { return 1; },
        []() { return 500; },
        [](std::string_view, std::uint32_t) { return true; },
    };
    views::TrackLogging track(settings, prompt);
    track.load();
    gps::CNmeaDecoder fix;
    record::readRecordText(bytes, fix, track, prompt);

    // Whatever was restored must save and read back to the same text.
    const std::string saved = record::formatRecord(fix.fix(), 0, track);
    gps::CNmeaDecoder again;
    views::TrackLogging track2(settings, prompt);
    track2.load();
    if (!record::readRecordText(saved, again, track2, prompt))
        std::abort();
    track2.ring().setIndex(track.ring().index());
    if (record::formatRecord(again.fix(), 0, track2) != saved)
        std::abort();
    return 0;
}
