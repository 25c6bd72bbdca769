// Every setting of the program with its type, default and reader message.
#include "settings/MasterTable.h"

#include <array>

#include "base/AsciiCase.h"

namespace varno::settings {
namespace {

using K = SettingKind;
constexpr ValueType Sz = ValueType::Sz;
constexpr ValueType Dw = ValueType::Dword;

constexpr SettingDef row(std::string_view name, ValueType type, std::string_view text, uint32_t number,
                         K kind, std::string_view message = {})
{
    SettingDef d{};
    d.name = name;
    d.type = type;
    d.defaultText = text;
    d.defaultNumber = number;
    d.kind = kind;
    d.message = message;
    return d;
}
constexpr SettingDef text(std::string_view name, std::string_view text)
{
    return row(name, Sz, text, 0, K::Text);
}
// The port name is read into a 50-byte buffer.
constexpr SettingDef portText(std::string_view name, std::string_view text)
{
    SettingDef d = row(name, Sz, text, 0, K::Text);
    d.limit = 50;
    return d;
}
constexpr SettingDef fileName(std::string_view name, std::string_view text, std::string_view message,
                              std::size_t limit)
{
    SettingDef d = row(name, Sz, text, 0, K::FileName, message);
    d.limit = limit;
    return d;
}
constexpr SettingDef time(std::string_view name, std::string_view message)
{
    return row(name, Sz, "", 0, K::Time, message);
}
constexpr SettingDef onOff(std::string_view name, uint32_t number)
{
    return row(name, Dw, "", number, K::OnOff);
}
constexpr SettingDef number(std::string_view name, uint32_t number, int64_t ifKeyMissing,
                            int64_t ifValueMissing)
{
    SettingDef d = row(name, Dw, "", number, K::Number);
    d.ifKeyMissing = ifKeyMissing;
    d.ifValueMissing = ifValueMissing;
    return d;
}
constexpr SettingDef heldTo(SettingDef d, uint32_t low, uint32_t high)
{
    d.low = low;
    d.high = high;
    return d;
}
constexpr SettingDef failing(SettingDef d, WriteFailure how, std::string_view text = {})
{
    d.writeFailure = how;
    d.writeText = text;
    return d;
}
constexpr SettingDef timeZone(std::string_view name, std::string_view text)
{
    return row(name, Sz, text, 0, K::TimeZone);
}
constexpr SettingDef colour(std::string_view name, std::string_view text)
{
    return row(name, Sz, text, 0, K::Colour);
}

constexpr std::array kTable = {
    portText("Port", "Com1"),
    text("Speed", "4800"),
    text("Parity", "None"),
    text("StopBits", "1"),
    text("DataBits", "8"),
    failing(number("SpeedUnits", 0, 0, 0), WriteFailure::Code),
    fileName("MapFile", "C:\\VARNO\\VARNOMap.txt", "Unable read the map file name from the registry.", 299),
    fileName("MarkFile", "C:\\VARNO\\MarkedSpots.txt", "Unable read the mark file name from the registry.",
             299),
    fileName("TrafficFile", "C:\\VARNO\\VARNOTraffic.txt",
             "Unable read the traffic file name from the registry.", 299),
    fileName("CameraFile", "C:\\VARNO\\VARNOCamera.txt",
             "Unable read the camera file name from the registry.", 299),
    fileName("VoiceFolder", "C:\\VARNO\\Voice", "Unable read the voice folder file name from the registry.",
             299),
    // The log folder's reader has no message of its own: it fails silently.
    fileName("LogFolder", "C:\\VARNO\\Log", "", 0),
    fileName("ImagesFolder", "C:\\VARNO\\Images",
             "Unable read the images folder file name from the registry.", 299),
    fileName("POIFolder", "C:\\VARNO\\POI", "Unable to read the POI folder file name from the registry.",
             299),
    number("POIFileNameCount", 0, 0, 0),
    // A missing key reads as the default radius, a missing value as 0; the
    // writer does not make a missing key.
    failing(number("MapScale", 4000, 4000, 0), WriteFailure::CodeAndText,
            "An error occurred writing the map scale setting to the registry.\n"
            "HKEY_CURRENT_USER\nSoftware\\VARNO\\MapScale"),
    onOff("LogTrack", 1),
    onOff("DisplayTrack", 1),
    heldTo(number("TrackLength", 1000, -1, -1), 500, 5000),
    failing(number("AverageSpeed", 0, 0, 0), WriteFailure::Value),
    timeZone("TimeZone", "+1"),
    colour("DayTimeBackGround", "00 e5 98"),
    colour("NightTimeBackGround", "00 13 7a"),
    colour("DayTimeForeGround", "00 00 00"),
    colour("NightTimeForeGround", "00 e8 9d"),
    colour("NMEADayTimeBackGround", "00 00 00"),
    colour("NMEANightTimeBackGround", "00 00 00"),
    colour("NMEADayTimeForeGround", "00 FF FF FF"),
    colour("NMEANightTimeForeGround", "00 FF FF FF"),
    number("Version", 8, -1, -1),
    fileName("RouteName", "", "Unable read the route file name from the registry.", 0),
    text("RouteFolder", "C:\\VARNO\\Route"),
    onOff("DisplayRouteNumber", 1),
    onOff("DisplayRouteText1", 1),
    onOff("Exclude", 1),
    onOff("SayExcluded", 1),
    onOff("DisplayRouteText2", 1),
    onOff("RouteUseMSAgent", 0),
    fileName("MSAgentACS", "C:\\Windows\\msagent\\chars\\Merlin.acs",
             "Unable read the msagent .acs file name from the registry.", 299),
    onOff("MSAgentSound", 0),
    onOff("RouteMotorway", 0),
    onOff("RouteCountry", 1),
    onOff("RouteTown", 0),
    onOff("AutoStartSize", 1),
    onOff("AutoStartGPS", 0),
    onOff("AutoStartLog", 0),
    onOff("AutoStartRoute", 0),
    fileName("RoutePick1", "", "Unable read the RoutePick1 file name from the registry.", 299),
    fileName("RoutePick2", "", "Unable read the RoutePick2 file name from the registry.", 299),
    fileName("RoutePick3", "", "Unable read the RoutePick3 file name from the registry.", 299),
    fileName("RoutePick4", "", "Unable read the RoutePick4 file name from the registry.", 299),
    fileName("RoutePick5", "", "Unable read the RoutePick5 file name from the registry.", 299),
    fileName("RoutePick6", "", "Unable read the RoutePick6 file name from the registry.", 299),
    fileName("RoutePick7", "", "Unable read the RoutePick7 file name from the registry.", 299),
    fileName("RoutePick8", "", "Unable read the RoutePick8 file name from the registry.", 299),
    fileName("RoutePick9", "", "Unable read the RoutePick9 file name from the registry.", 299),
    time("StartTimerStartTime1", "Unable read the StartTimerStartTime1 time from the registry."),
    time("StartTimerEndTime1", "Unable read the StartTimerEndTime1 time from the registry."),
    fileName("StartTimerFilename1", "", "Unable read the StartTimerFilename1 file name from the registry.",
             0),
    onOff("StartTimerEnable1", 0),
    // The second start timer's readers fail without a message.
    time("StartTimerStartTime2", ""),
    time("StartTimerEndTime2", ""),
    fileName("StartTimerFilename2", "", "", 0),
    onOff("StartTimerEnable2", 0),
    time("NightTimerStartTime", "Unable read the NightTimerStartTime time from the registry."),
    time("NightTimerEndTime", "Unable read the NightTimerEndTime time from the registry."),
    onOff("NightTimerEnable", 0),
    // Where positions come from besides the serial port ("Serial", "gpsd",
    // "TCP"), resuming after an unplug, and the driver aids; all off unless
    // chosen.
    text("Source", "Serial"),
    text("SourceHost", "localhost"),
    text("SourcePort", "2947"),
    onOff("Reconnect", 0),
    onOff("AidDirection", 0),
    onOff("AidChime", 0),
    onOff("AidCoach", 0),
    // Whether the views are drawn scaled up to a window larger than their
    // layout; off keeps them at 1:1 in the window's top left corner.
    onOff("ScaleWithWindow", 0),
    // 1 from the first start that wrote the defaults until its welcome page
    // was done with; profiles from before the page never had it.
    onOff("FirstRunPending", 0),
    // The road map drawn under the views and matched to the fix; empty: none.
    text("RoadMapFile", ""),
    // Big words over the view while the receiver has nothing to show
    // ("Waiting for GPS on …", "NO FIX — 3 satellites"), and the dimmed
    // night colours in place of the stored night scheme; off unless chosen.
    onOff("ReceiverNotice", 0),
    onOff("NightPalette", 0),
};

template <K Kind> consteval Key<Kind> key(std::string_view name)
{
    for (const SettingDef& d : kTable)
        if (d.name == name) {
            if (d.kind != Kind)
                throw "the key's type is not the row's kind";
            return Key<Kind>{&d};
        }
    throw "no such setting";
}

} // namespace

namespace keys {
constinit const TextKey Port = key<K::Text>("Port"), Speed = key<K::Text>("Speed"),
                        Parity = key<K::Text>("Parity"), StopBits = key<K::Text>("StopBits"),
                        DataBits = key<K::Text>("DataBits");
constinit const NumberKey SpeedUnits = key<K::Number>("SpeedUnits");
constinit const FileNameKey MapFile = key<K::FileName>("MapFile"), MarkFile = key<K::FileName>("MarkFile"),
                            TrafficFile = key<K::FileName>("TrafficFile"),
                            CameraFile = key<K::FileName>("CameraFile"),
                            VoiceFolder = key<K::FileName>("VoiceFolder"),
                            LogFolder = key<K::FileName>("LogFolder"),
                            ImagesFolder = key<K::FileName>("ImagesFolder"),
                            POIFolder = key<K::FileName>("POIFolder");
constinit const NumberKey POIFileNameCount = key<K::Number>("POIFileNameCount"),
                          MapScale = key<K::Number>("MapScale");
constinit const OnOffKey LogTrack = key<K::OnOff>("LogTrack"), DisplayTrack = key<K::OnOff>("DisplayTrack");
constinit const NumberKey TrackLength = key<K::Number>("TrackLength"),
                          AverageSpeed = key<K::Number>("AverageSpeed");
constinit const TimeZoneKey TimeZone = key<K::TimeZone>("TimeZone");
constinit const ColourKey DayTimeBackGround = key<K::Colour>("DayTimeBackGround"),
                          NightTimeBackGround = key<K::Colour>("NightTimeBackGround"),
                          DayTimeForeGround = key<K::Colour>("DayTimeForeGround"),
                          NightTimeForeGround = key<K::Colour>("NightTimeForeGround"),
                          NMEADayTimeBackGround = key<K::Colour>("NMEADayTimeBackGround"),
                          NMEANightTimeBackGround = key<K::Colour>("NMEANightTimeBackGround"),
                          NMEADayTimeForeGround = key<K::Colour>("NMEADayTimeForeGround"),
                          NMEANightTimeForeGround = key<K::Colour>("NMEANightTimeForeGround");
constinit const NumberKey Version = key<K::Number>("Version");
constinit const FileNameKey RouteName = key<K::FileName>("RouteName");
constinit const TextKey RouteFolder = key<K::Text>("RouteFolder");
constinit const OnOffKey DisplayRouteNumber = key<K::OnOff>("DisplayRouteNumber"),
                         DisplayRouteText1 = key<K::OnOff>("DisplayRouteText1"),
                         Exclude = key<K::OnOff>("Exclude"), SayExcluded = key<K::OnOff>("SayExcluded"),
                         DisplayRouteText2 = key<K::OnOff>("DisplayRouteText2"),
                         RouteUseMSAgent = key<K::OnOff>("RouteUseMSAgent");
constinit const FileNameKey MSAgentACS = key<K::FileName>("MSAgentACS");
constinit const OnOffKey MSAgentSound = key<K::OnOff>("MSAgentSound"),
                         RouteMotorway = key<K::OnOff>("RouteMotorway"),
                         RouteCountry = key<K::OnOff>("RouteCountry"), RouteTown = key<K::OnOff>("RouteTown"),
                         AutoStartSize = key<K::OnOff>("AutoStartSize"),
                         AutoStartGPS = key<K::OnOff>("AutoStartGPS"),
                         AutoStartLog = key<K::OnOff>("AutoStartLog"),
                         AutoStartRoute = key<K::OnOff>("AutoStartRoute");
constinit const std::array<FileNameKey, 9> RoutePick = {
    key<K::FileName>("RoutePick1"), key<K::FileName>("RoutePick2"), key<K::FileName>("RoutePick3"),
    key<K::FileName>("RoutePick4"), key<K::FileName>("RoutePick5"), key<K::FileName>("RoutePick6"),
    key<K::FileName>("RoutePick7"), key<K::FileName>("RoutePick8"), key<K::FileName>("RoutePick9")};
constinit const std::array<TimeKey, 2> StartTimerStartTime = {key<K::Time>("StartTimerStartTime1"),
                                                              key<K::Time>("StartTimerStartTime2")};
constinit const std::array<TimeKey, 2> StartTimerEndTime = {key<K::Time>("StartTimerEndTime1"),
                                                            key<K::Time>("StartTimerEndTime2")};
constinit const std::array<FileNameKey, 2> StartTimerFilename = {key<K::FileName>("StartTimerFilename1"),
                                                                 key<K::FileName>("StartTimerFilename2")};
constinit const std::array<OnOffKey, 2> StartTimerEnable = {key<K::OnOff>("StartTimerEnable1"),
                                                            key<K::OnOff>("StartTimerEnable2")};
constinit const TimeKey NightTimerStartTime = key<K::Time>("NightTimerStartTime"),
                        NightTimerEndTime = key<K::Time>("NightTimerEndTime");
constinit const OnOffKey NightTimerEnable = key<K::OnOff>("NightTimerEnable");
constinit const TextKey Source = key<K::Text>("Source"), SourceHost = key<K::Text>("SourceHost"),
                        SourcePort = key<K::Text>("SourcePort");
constinit const OnOffKey Reconnect = key<K::OnOff>("Reconnect"), AidDirection = key<K::OnOff>("AidDirection"),
                         AidChime = key<K::OnOff>("AidChime"), AidCoach = key<K::OnOff>("AidCoach"),
                         ScaleWithWindow = key<K::OnOff>("ScaleWithWindow"),
                         FirstRunPending = key<K::OnOff>("FirstRunPending");
constinit const TextKey RoadMapFile = key<K::Text>("RoadMapFile");
constinit const OnOffKey ReceiverNotice = key<K::OnOff>("ReceiverNotice"),
                         NightPalette = key<K::OnOff>("NightPalette");
} // namespace keys

std::span<const SettingDef> masterTable()
{
    return kTable;
}

const SettingDef* findSetting(std::string_view name)
{
    for (const auto& d : kTable)
        if (equalsNoCase(d.name, name))
            return &d;
    return nullptr;
}

} // namespace varno::settings
