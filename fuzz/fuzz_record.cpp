// Fuzz target: the record file reader, and a record written from what it restored read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "base/Prompt.h"
#include "gps/CNmeaDecoder.h"
#include "record/RecordFile.h"
#include "settings/Settings.h"
#include "views/TrackLogging.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace varno;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SilentPrompt prompt;
    // Track logging on with 500 slots, written once for every run.
    static settings::SettingsStore store = [] {
        // One file per process: the ctest replays of the kept corpus run beside a fuzzing run,
        // and a file they share is rewritten under its feet.
        static const auto path = std::filesystem::temp_directory_path() /
                                 ("varno-fuzz-record-settings-" + std::to_string(::getpid()) + ".reg");
        std::filesystem::remove(path);
        std::atexit([] { std::filesystem::remove(path); });
        settings::SettingsStore s(path.string());
        s.setDword(settings::kVarnoKey, settings::keys::LogTrack.name(), 1);
        s.setDword(settings::kVarnoKey, settings::keys::DisplayTrack.name(), 1);
        s.setDword(settings::kVarnoKey, settings::keys::TrackLength.name(), 500);
        return settings::SettingsStore(path.string());
    }();
    settings::Settings settings(store, prompt);
    views::TrackLogging track(settings, prompt);
    track.load();
    gps::CNmeaDecoder fix;
    record::readRecordText(bytes, fix, track, prompt);

    // Whatever was restored saves, and what we save reads back to the same text. The
    // first save may round: a latitude of 1e-300 is a position, but it is written
    // as 0.000000, which reads back as none. From then on nothing may change.
    auto roundTrip = [&](const std::string& text, int index) {
        gps::CNmeaDecoder again;
        views::TrackLogging again2(settings, prompt);
        again2.load();
        if (!record::readRecordText(text, again, again2, prompt))
            std::abort();
        again2.ring().setIndex(index);
        return record::formatRecord(again.fix(), 0, again2);
    };
    const int index = track.ring().index();
    const std::string saved = roundTrip(record::formatRecord(fix.fix(), 0, track), index);
    if (const std::string resaved = roundTrip(saved, index); resaved != saved) {
        std::fprintf(stderr, "saved:\n%s\nread back and saved again:\n%s\n", saved.substr(0, 600).c_str(),
                     resaved.substr(0, 600).c_str());
        std::abort();
    }
    return 0;
}
