// Every setting of the program with its type, default and reader message.
#include "settings/MasterTable.h"

#include <array>

#include "base/AsciiCase.h"

namespace varno::settings {
namespace {

using K = SettingKind;
constexpr ValueType Sz = ValueType::Sz;
constexpr ValueType Dw = ValueType::Dword;

constexpr std::array kTable = {
    SettingDef{"Port", Sz, "Com1", 0, K::Text, ""},
    SettingDef{"Speed", Sz, "4800", 0, K::Text, ""},
    SettingDef{"Parity", Sz, "None", 0, K::Text, ""},
    SettingDef{"StopBits", Sz, "1", 0, K::Text, ""},
    SettingDef{"DataBits", Sz, "8", 0, K::Text, ""},
    SettingDef{"SpeedUnits", Dw, "", 0, K::Number, ""},
    SettingDef{"MapFile", Sz, "C:\\VARNO\\VARNOMap.txt", 0, K::FileName,
               "Unable read the map file name from the registry."},
    SettingDef{"MarkFile", Sz, "C:\\VARNO\\MarkedSpots.txt", 0, K::FileName,
               "Unable read the mark file name from the registry."},
    SettingDef{"TrafficFile", Sz, "C:\\VARNO\\VARNOTraffic.txt", 0, K::FileName,
               "Unable read the traffic file name from the registry."},
    SettingDef{"CameraFile", Sz, "C:\\VARNO\\VARNOCamera.txt", 0, K::FileName,
               "Unable read the camera file name from the registry."},
    SettingDef{"VoiceFolder", Sz, "C:\\VARNO\\Voice", 0, K::FileName,
               "Unable read the voice folder file name from the registry."},
    // The log folder's reader has no message of its own: it fails silently.
    SettingDef{"LogFolder", Sz, "C:\\VARNO\\Log", 0, K::FileName, ""},
    SettingDef{"ImagesFolder", Sz, "C:\\VARNO\\Images", 0, K::FileName,
               "Unable read the images folder file name from the registry."},
    SettingDef{"POIFolder", Sz, "C:\\VARNO\\POI", 0, K::FileName,
               "Unable to read the POI folder file name from the registry."},
    SettingDef{"POIFileNameCount", Dw, "", 0, K::Number, ""},
    SettingDef{"MapScale", Dw, "", 4000, K::Number, ""},
    SettingDef{"LogTrack", Dw, "", 1, K::OnOff, ""},
    SettingDef{"DisplayTrack", Dw, "", 1, K::OnOff, ""},
    SettingDef{"TrackLength", Dw, "", 1000, K::Number, ""},
    SettingDef{"AverageSpeed", Dw, "", 0, K::Number, ""},
    SettingDef{"TimeZone", Sz, "+1", 0, K::TimeZone, ""},
    SettingDef{"DayTimeBackGround", Sz, "00 e5 98", 0, K::Colour, ""},
    SettingDef{"NightTimeBackGround", Sz, "00 13 7a", 0, K::Colour, ""},
    SettingDef{"DayTimeForeGround", Sz, "00 00 00", 0, K::Colour, ""},
    SettingDef{"NightTimeForeGround", Sz, "00 e8 9d", 0, K::Colour, ""},
    SettingDef{"NMEADayTimeBackGround", Sz, "00 00 00", 0, K::Colour, ""},
    SettingDef{"NMEANightTimeBackGround", Sz, "00 00 00", 0, K::Colour, ""},
    SettingDef{"NMEADayTimeForeGround", Sz, "00 FF FF FF", 0, K::Colour, ""},
    SettingDef{"NMEANightTimeForeGround", Sz, "00 FF FF FF", 0, K::Colour, ""},
    SettingDef{"Version", Dw, "", 8, K::Number, ""},
    SettingDef{"RouteName", Sz, "", 0, K::FileName, "Unable read the route file name from the registry."},
    SettingDef{"RouteFolder", Sz, "C:\\VARNO\\Route", 0, K::Text, ""},
    SettingDef{"DisplayRouteNumber", Dw, "", 1, K::OnOff, ""},
    SettingDef{"DisplayRouteText1", Dw, "", 1, K::OnOff, ""},
    SettingDef{"Exclude", Dw, "", 1, K::OnOff, ""},
    SettingDef{"SayExcluded", Dw, "", 1, K::OnOff, ""},
    SettingDef{"DisplayRouteText2", Dw, "", 1, K::OnOff, ""},
    SettingDef{"RouteUseMSAgent", Dw, "", 0, K::OnOff, ""},
    SettingDef{"MSAgentACS", Sz, "C:\\Windows\\msagent\\chars\\Merlin.acs", 0, K::FileName,
               "Unable read the msagent .acs file name from the registry."},
    SettingDef{"MSAgentSound", Dw, "", 0, K::OnOff, ""},
    SettingDef{"RouteMotorway", Dw, "", 0, K::OnOff, ""},
    SettingDef{"RouteCountry", Dw, "", 1, K::OnOff, ""},
    SettingDef{"RouteTown", Dw, "", 0, K::OnOff, ""},
    SettingDef{"AutoStartSize", Dw, "", 1, K::Number, ""},
    SettingDef{"AutoStartGPS", Dw, "", 0, K::OnOff, ""},
    SettingDef{"AutoStartLog", Dw, "", 0, K::OnOff, ""},
    SettingDef{"AutoStartRoute", Dw, "", 0, K::OnOff, ""},
    SettingDef{"RoutePick1", Sz, "", 0, K::FileName,
               "Unable read the RoutePick1 file name from the registry."},
    SettingDef{"RoutePick2", Sz, "", 0, K::FileName,
               "Unable read the RoutePick2 file name from the registry."},
    SettingDef{"RoutePick3", Sz, "", 0, K::FileName,
               "Unable read the RoutePick3 file name from the registry."},
    SettingDef{"RoutePick4", Sz, "", 0, K::FileName,
               "Unable read the RoutePick4 file name from the registry."},
    SettingDef{"RoutePick5", Sz, "", 0, K::FileName,
               "Unable read the RoutePick5 file name from the registry."},
    SettingDef{"RoutePick6", Sz, "", 0, K::FileName,
               "Unable read the RoutePick6 file name from the registry."},
    SettingDef{"RoutePick7", Sz, "", 0, K::FileName,
               "Unable read the RoutePick7 file name from the registry."},
    SettingDef{"RoutePick8", Sz, "", 0, K::FileName,
               "Unable read the RoutePick8 file name from the registry."},
    SettingDef{"RoutePick9", Sz, "", 0, K::FileName,
               "Unable read the RoutePick9 file name from the registry."},
    SettingDef{"StartTimerStartTime1", Sz, "", 0, K::Time,
               "Unable read the StartTimerStartTime1 time from the registry."},
    SettingDef{"StartTimerEndTime1", Sz, "", 0, K::Time,
               "Unable read the StartTimerEndTime1 time from the registry."},
    SettingDef{"StartTimerFilename1", Sz, "", 0, K::FileName,
               "Unable read the StartTimerFilename1 file name from the registry."},
    SettingDef{"StartTimerEnable1", Dw, "", 0, K::OnOff, ""},
    // The second start timer's readers fail without a message.
    SettingDef{"StartTimerStartTime2", Sz, "", 0, K::Time, ""},
    SettingDef{"StartTimerEndTime2", Sz, "", 0, K::Time, ""},
    SettingDef{"StartTimerFilename2", Sz, "", 0, K::FileName, ""},
    SettingDef{"StartTimerEnable2", Dw, "", 0, K::OnOff, ""},
    SettingDef{"NightTimerStartTime", Sz, "", 0, K::Time,
               "Unable read the NightTimerStartTime time from the registry."},
    SettingDef{"NightTimerEndTime", Sz, "", 0, K::Time,
               "Unable read the NightTimerEndTime time from the registry."},
    SettingDef{"NightTimerEnable", Dw, "", 0, K::OnOff, ""},
};

} // namespace

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
