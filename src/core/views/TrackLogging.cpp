// Track logging: the ring, its LogTrack / DisplayTrack / TrackLength settings and the options dialog.
#include "views/TrackLogging.h"

#include <new>

#include "base/Numbers.h"
#include "settings/Settings.h"

namespace varno::views {

namespace keys = settings::keys;

std::uint32_t trackLengthToStore(std::string_view typed)
{
    const auto n = static_cast<std::uint32_t>(leadingInt(typed));
    if (n < kMinTrackLength)
        return kMinTrackLength;
    if (n > kMaxTrackLength)
        return kMaxTrackLength;
    return n;
}

TrackLogging::TrackLogging(settings::Settings& settings, Prompt& prompt)
    : allocator([](TrackRing& ring, int length) { ring.allocate(length); }), settings_(settings),
      prompt_(prompt)
{
}

void TrackLogging::load()
{
    logTrack_ = settings_.read(keys::LogTrack) == 1;
    displayTrack_ = settings_.read(keys::DisplayTrack) == 1;
    const auto stored = static_cast<int>(settings_.read(keys::TrackLength));
    trackLength_ = stored < 0 ? kStartupTrackLength : stored;
    ring_.free();
    if (logTrack_)
        allocate();
}

void TrackLogging::switchOff()
{
    ring_.free();
    logTrack_ = false;
}

void TrackLogging::reloadFlags()
{
    logTrack_ = settings_.read(keys::LogTrack) == 1;
    if (logTrack_ && !ring_.allocated())
        allocate();
    displayTrack_ = settings_.read(keys::DisplayTrack) == 1;
}

TrackDialogValues TrackLogging::dialogValues() const
{
    TrackDialogValues v;
    v.logTrack = settings_.read(keys::LogTrack) == 1;
    v.displayTrack = settings_.read(keys::DisplayTrack) == 1;
    const auto stored = static_cast<int>(settings_.read(keys::TrackLength));
    v.trackLength = stored < 0 ? trackLength_ : stored;
    return v;
}

void TrackLogging::storeDialog(bool logTrack, bool displayTrack, std::string_view recordLength)
{
    settings_.write(keys::LogTrack, logTrack);
    settings_.write(keys::DisplayTrack, displayTrack);
    settings_.write(keys::TrackLength, trackLengthToStore(recordLength));
}

void TrackLogging::afterDialog()
{
    logTrack_ = settings_.read(keys::LogTrack) == 1;
    displayTrack_ = settings_.read(keys::DisplayTrack) == 1;
    const auto stored = static_cast<int>(settings_.read(keys::TrackLength));
    const int length = stored < 0 ? kAfterDialogTrackLength : stored;

    if (length != trackLength_) {
        // A new length starts a new ring: the old track does not fit it.
        trackLength_ = length;
        ring_.free();
        if (logTrack_)
            allocate();
        return;
    }
    if (!logTrack_ && ring_.allocated())
        ring_.free();
    else if (logTrack_ && !ring_.allocated())
        allocate();
}

void TrackLogging::recordFix(bool sentenceTaken, const gps::Fix& fix)
{
    if (!sentenceTaken || !(fix.speedKnots > 1.0))
        return;
    ring_.record(fix.position);
}

bool TrackLogging::reallocateForRecord()
{
    displayTrack_ = true;
    return allocate();
}

bool TrackLogging::allocate()
{
    try {
        allocator(ring_, trackLength_);
        return true;
    } catch (const std::bad_alloc&) {
        ring_.free();
        settings_.write(keys::LogTrack, false);
        settings_.write(keys::DisplayTrack, false);
        logTrack_ = false;
        displayTrack_ = false;
        prompt_.message(std::string(kTrackMemoryMessage));
        return false;
    }
}

} // namespace varno::views
