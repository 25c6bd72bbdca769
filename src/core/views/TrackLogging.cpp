// Track logging: the ring, its LogTrack / DisplayTrack / TrackLength settings and the options dialog.
#include "views/TrackLogging.h"

#include <new>

#include "base/Numbers.h"
#include "settings/Settings.h"

namespace varno::views {

TrackSettings trackSettingsFrom(settings::Settings& s)
{
    return TrackSettings{
        [&s](std::string_view name) { return s.readOnOff(name); },
        [&s]() { return s.readTrackLength(); },
        [&s](std::string_view name, std::uint32_t value) { return s.writeDword(name, value); },
    };
}

std::uint32_t trackLengthToStore(std::string_view typed)
{
    const auto n = static_cast<std::uint32_t>(leadingInt(typed));
    if (n < kMinTrackLength)
        return kMinTrackLength;
    if (n > kMaxTrackLength)
        return kMaxTrackLength;
    return n;
}

TrackLogging::TrackLogging(TrackSettings settings, Prompt& prompt)
    : allocator([](TrackRing& ring, int length) { ring.allocate(length); }), settings_(std::move(settings)),
      prompt_(prompt)
{
}

void TrackLogging::load()
{
    logTrack_ = settings_.readOnOff("LogTrack") == 1;
    displayTrack_ = settings_.readOnOff("DisplayTrack") == 1;
    const int stored = settings_.readTrackLength();
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
    logTrack_ = settings_.readOnOff("LogTrack") == 1;
    if (logTrack_ && !ring_.allocated())
        allocate();
    displayTrack_ = settings_.readOnOff("DisplayTrack") == 1;
}

TrackDialogValues TrackLogging::dialogValues() const
{
    TrackDialogValues v;
    v.logTrack = settings_.readOnOff("LogTrack") == 1;
    v.displayTrack = settings_.readOnOff("DisplayTrack") == 1;
    const int stored = settings_.readTrackLength();
    v.trackLength = stored < 0 ? trackLength_ : stored;
    return v;
}

void TrackLogging::storeDialog(bool logTrack, bool displayTrack, std::string_view recordLength)
{
    settings_.writeDword("LogTrack", logTrack ? 1 : 0);
    settings_.writeDword("DisplayTrack", displayTrack ? 1 : 0);
    settings_.writeDword("TrackLength", trackLengthToStore(recordLength));
}

void TrackLogging::afterDialog()
{
    logTrack_ = settings_.readOnOff("LogTrack") == 1;
    displayTrack_ = settings_.readOnOff("DisplayTrack") == 1;
    const int stored = settings_.readTrackLength();
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
        settings_.writeDword("LogTrack", 0);
        settings_.writeDword("DisplayTrack", 0);
        logTrack_ = false;
        displayTrack_ = false;
        prompt_.message(std::string(kTrackMemoryMessage));
        return false;
    }
}

} // namespace varno::views
