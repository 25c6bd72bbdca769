// Fuzz target: the record file reader, and a record written from what it restored read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

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
        const auto path = std::filesystem::temp_directory_path() / "varno-fuzz-record-settings.reg";
        std::filesystem::remove(path);
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

    // Whatever was restored must save and read back to the same text.
    const std::string saved = record::formatRecord(fix.fix(), 0, track);
    gps::CNmeaDecoder again;
    views::TrackLogging track2(settings, prompt);
    track2.load();
    if (!record::readRecordText(saved, again, track2, prompt))
        std::abort();
    track2.ring().setIndex(track.ring().index());
    if (const std::string resaved = record::formatRecord(again.fix(), 0, track2); resaved != saved) {
        std::fprintf(stderr, "saved:\n%s\nread back and saved again:\n%s\n", saved.substr(0, 600).c_str(),
                     resaved.substr(0, 600).c_str());
        std::abort();
    }
    return 0;
}
