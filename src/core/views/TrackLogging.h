// Track logging: the ring, its LogTrack / DisplayTrack / TrackLength settings and the options dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Prompt.h"
#include "gps/Fix.h"
#include "views/TrackRing.h"

namespace varno::settings {
class Settings;
}

namespace varno::views {

// TrackLength limits of the options dialog, and the sizes used when the
// stored value cannot be read.
inline constexpr int kMinTrackLength = 500;
inline constexpr int kMaxTrackLength = 5000;
inline constexpr int kStartupTrackLength = 5000;
inline constexpr int kAfterDialogTrackLength = 1000;

inline constexpr std::string_view kTrackMemoryMessage =
    "There is not enough memory for track logging.\nTrack logging will be turned off";

// What the "Track logging options" dialog shows when it opens.
struct TrackDialogValues {
    bool logTrack = false;
    bool displayTrack = false;
    int trackLength = kStartupTrackLength;
};

// The record length the dialog stores for a typed text: its leading number,
// clamped as an unsigned number to 500..5000, so a negative entry gives 5000.
std::uint32_t trackLengthToStore(std::string_view typed);

// The view's track log: owns the ring and the two flags, and runs the rules of
// start-up, the options dialog and the repaint. UI thread only.
class TrackLogging {
public:
    TrackLogging(settings::Settings& settings, Prompt& prompt);

    // View creation: reads the flags and TrackLength (5000 when it cannot be
    // read) and allocates the ring when LogTrack reads 1.
    void load();

    // Check Registry, before the defaults are written: the ring is freed and
    // logging is off until reloadFlags().
    void switchOff();
    // Check Registry, after the defaults are written: LogTrack (allocating the
    // ring when it reads 1 and there is none) and DisplayTrack read again.
    // TrackLength stays as the view has it.
    void reloadFlags();

    // The dialog opens with the stored values.
    TrackDialogValues dialogValues() const;
    // OK: writes LogTrack and DisplayTrack as 1 / 0 and the clamped length.
    void storeDialog(bool logTrack, bool displayTrack, std::string_view recordLength);
    // After the dialog closed, whatever closed it: re-reads the settings and
    // frees, allocates or resizes the ring (1000 when TrackLength cannot be
    // read). The caller redraws the view.
    void afterDialog();

    // Repaint: a new sentence was taken and the fix moves faster than 1 knot.
    void recordFix(bool sentenceTaken, const gps::Fix& fix);

    // A record file asks for the ring to be shown and rebuilt for the current
    // TrackLength. False when the memory was not there (already reported).
    bool reallocateForRecord();

    // Allocates the ring for trackLength(); on std::bad_alloc frees it, turns
    // track logging off in the settings and in memory and shows the memory
    // message once. False then.
    bool allocate();

    const TrackRing& ring() const { return ring_; }
    TrackRing& ring() { return ring_; }
    bool logTrack() const { return logTrack_; }
    bool displayTrack() const { return displayTrack_; }
    int trackLength() const { return trackLength_; }

    // How the ring gets its memory; tests make it throw std::bad_alloc.
    std::function<void(TrackRing&, int trackLength)> allocator;

private:
    settings::Settings& settings_;
    Prompt& prompt_;
    TrackRing ring_;
    bool logTrack_ = false;
    bool displayTrack_ = false;
    int trackLength_ = kStartupTrackLength;
};

} // namespace varno::views
