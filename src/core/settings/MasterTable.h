// Every setting of the program with its type, default, reader rules and messages.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/Value.h"

namespace varno::settings {

// How the program reads a setting (which reader family it belongs to).
enum class SettingKind {
    Text,     // read as is (port parameters, folders without a reader message)
    FileName, // file or folder name: a missing value shows `message` when it has one
    Time,     // "hh:mm" text: a missing value shows `message` when it has one
    OnOff,    // 1 on, anything else off, -1 missing
    Number,   // a number with the fallbacks of its row
    TimeZone, // leading decimal number of a text
    Colour,   // "rr gg bb" in hex
};

// What a failed write shows.
enum class WriteFailure {
    KeyOrValue, // the key could not be made, or else the value could not be set
    Value,      // always the value that could not be set
    Code,       // "0x%x" of the system's error number alone
    CodeAndText // "0x%x", a line end and `writeText`; a missing key is left alone
};

struct SettingDef {
    std::string_view name{};
    ValueType type = ValueType::Sz;
    std::string_view defaultText{}; // Sz
    uint32_t defaultNumber = 0;     // Dword
    SettingKind kind = SettingKind::Text;
    std::string_view message{}; // shown when the value is missing; empty: silent
    // Texts are read into a buffer of this many bytes: a text that does not fit
    // (size >= limit) cannot be read. 0: no limit.
    std::size_t limit = 0;
    // Number: what the reader gives for a missing key, for a missing value, and
    // the range a stored number is held to.
    int64_t ifKeyMissing = 0;
    int64_t ifValueMissing = 0;
    uint32_t low = 0;
    uint32_t high = UINT32_MAX;
    WriteFailure writeFailure = WriteFailure::KeyOrValue;
    std::string_view writeText{};
};

// A setting as code names it: its row of the master table, typed by the
// reader family so Settings::read gives what that family reads.
template <SettingKind Kind> struct Key {
    const SettingDef* def;
    constexpr const SettingDef& row() const { return *def; }
    constexpr std::string_view name() const { return def->name; }
};
using TextKey = Key<SettingKind::Text>;
using FileNameKey = Key<SettingKind::FileName>;
using TimeKey = Key<SettingKind::Time>;
using OnOffKey = Key<SettingKind::OnOff>;
using NumberKey = Key<SettingKind::Number>;
using TimeZoneKey = Key<SettingKind::TimeZone>;
using ColourKey = Key<SettingKind::Colour>;

// The table in the order the defaults are written.
std::span<const SettingDef> masterTable();

// The row of a setting, found without regard to case; null when not listed.
const SettingDef* findSetting(std::string_view name);

namespace keys {
extern const TextKey Port, Speed, Parity, StopBits, DataBits;
extern const NumberKey SpeedUnits;
extern const FileNameKey MapFile, MarkFile, TrafficFile, CameraFile, VoiceFolder, LogFolder, ImagesFolder,
    POIFolder;
extern const NumberKey POIFileNameCount, MapScale;
extern const OnOffKey LogTrack, DisplayTrack;
extern const NumberKey TrackLength, AverageSpeed;
extern const TimeZoneKey TimeZone;
extern const ColourKey DayTimeBackGround, NightTimeBackGround, DayTimeForeGround, NightTimeForeGround,
    NMEADayTimeBackGround, NMEANightTimeBackGround, NMEADayTimeForeGround, NMEANightTimeForeGround;
extern const NumberKey Version;
extern const FileNameKey RouteName;
extern const TextKey RouteFolder;
extern const OnOffKey DisplayRouteNumber, DisplayRouteText1, Exclude, SayExcluded, DisplayRouteText2,
    RouteUseMSAgent;
extern const FileNameKey MSAgentACS;
extern const OnOffKey MSAgentSound, RouteMotorway, RouteCountry, RouteTown, AutoStartSize, AutoStartGPS,
    AutoStartLog, AutoStartRoute;
extern const std::array<FileNameKey, 9> RoutePick; // RoutePick1 .. RoutePick9

// The two start timers, [0] for timer 1 and [1] for timer 2.
extern const std::array<TimeKey, 2> StartTimerStartTime, StartTimerEndTime;
extern const std::array<FileNameKey, 2> StartTimerFilename;
extern const std::array<OnOffKey, 2> StartTimerEnable;
extern const TimeKey NightTimerStartTime, NightTimerEndTime;
extern const OnOffKey NightTimerEnable;

// The position source ("Serial", "gpsd", "TCP") with the host and port of a
// network source; resuming after the device went away; the driver aids.
extern const TextKey Source, SourceHost, SourcePort;
extern const OnOffKey Reconnect, AidDirection, AidChime, AidCoach;
// The views scaled up to a larger window (off: 1:1).
extern const OnOffKey ScaleWithWindow;
// The welcome page after the first start is still to be shown (1), or done with.
extern const OnOffKey FirstRunPending;
// The road map file (empty: no road map).
extern const TextKey RoadMapFile;
// The receiver's state in big words over the view (off: the views as they were).
extern const OnOffKey ReceiverNotice;
// Night shows the dimmed night colours rather than the stored night scheme.
extern const OnOffKey NightPalette;
} // namespace keys

} // namespace varno::settings
