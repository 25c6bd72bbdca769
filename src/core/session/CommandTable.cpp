// The command vocabulary: ids, menus, item texts, keys, status prompts and the shortcut list.
#include "session/CommandTable.h"

#include <array>
#include <cstddef>
#include <iterator>

namespace varno::session {
namespace {

constexpr bool Sep = true;

// clang-format off
constexpr Command kCommands[] = {
    // id, number, menu, text, key, shown key, prompt, separator before, checkable
    {CommandId::FileOpen, 57601, Menu::File, "&Open...", "Ctrl+O", "Ctrl+O", "Open an existing document"},
    {CommandId::FileSave, 57603, Menu::File, "&Save", "Ctrl+S", "Ctrl+S", "Save the active document"},
    {CommandId::FileSaveAs, 57604, Menu::File, "Save &As...", "", "", "Save the active document with a new name"},
    {CommandId::FilePrint, 57607, Menu::File, "&Print...", "Ctrl+P", "Ctrl+P", "Print the active document", Sep},
    {CommandId::FilePrintPreview, 57609, Menu::File, "Print Pre&view", "", "", "Display full pages"},
    {CommandId::FilePrintSetup, 57606, Menu::File, "P&rint Setup...", "", "", "Change the printer and printing options"},
    {CommandId::AppExit, 57665, Menu::File, "E&xit", "", "", "Quit the application", Sep},

    {CommandId::ViewToolbar, 59392, Menu::View, "&Toolbar", "", "", "Show or hide the toolbar", false, true},
    {CommandId::ViewStatusBar, 59393, Menu::View, "&Status Bar", "", "", "Show or hide the status bar", false, true},
    {CommandId::VarnoToolbar, 32809, Menu::View, "&VARNO Toolbar", "", "", "Displays the VARNO toolbar", false, true},
    {CommandId::CameraMap, 32859, Menu::View, "&Camera Map", "", "F6, B", "Switches to camera map view.", Sep, true},
    {CommandId::DisplayPoi, 32827, Menu::View, "&Display POI", "", "F7, N", "Displays points of interest.", false, true},
    {CommandId::RouteView, 32840, Menu::View, "&Route", "", "F8, ,", "Switches to route view.", false, true},
    {CommandId::CompassView, 32857, Menu::View, "&Compass", "", "F9", "Switches to compass view.", false, true},
    {CommandId::PointerView, 32867, Menu::View, "&Pointer", "", ".", "Switches to pointer view.", false, true},
    {CommandId::TrailView, 32918, Menu::View, "Tr&ail", "", "/", "Switches to trail view.", false, true},
    {CommandId::TrackEditorView, 32880, Menu::View, "Track &Editor", "", "T", "Switches to track editor view.", false, true},

    {CommandId::ConvertPocketGpsCsv, 32795, Menu::Convert, "Pocket GPS CSV", "", "", "Convert a pocket gps camera csv  or ov2 format file to this programs format."},
    {CommandId::ConvertGarminCsv, 32830, Menu::Convert, "Garmin CSV", "", "", "Convert a garmin camera csv  or ov2 format file to this programs format."},
    {CommandId::ConvertPocketGpsFiles, 32921, Menu::Convert, "Convert PocketGPS file(s) to CSV", "", "", "Convert PocketGPS camera csv  or ov2 format file(s) to this programs format."},
    {CommandId::ConvertGpxRoute, 32877, Menu::Convert, "GPX Route to Route CSV", "", "", "Converts a GPX route file to this programs route csv format.", Sep},
    {CommandId::ConvertGpxTrack, 32876, Menu::Convert, "GPX Track to Route CSV", "", "", "Converts a GPX track file to this programs route csv format."},
    {CommandId::ConvertNmeaToGpx, 32878, Menu::Convert, "NMEA log to GPX track or route", "", "", "Creates a GPX track or route file from an NMEA log for export to other applications."},
    {CommandId::ConvertJosmGpx, 32893, Menu::Convert, "JOSM GPX to map project", "", "", "Converts a JOSM GPX multi track file in to a set of file for use in track view.", Sep},
    {CommandId::ConvertOsmToGpx, 32898, Menu::Convert, "OSM to GPX track", "", "", "Converts an OSM file to a GPX format file for use as a background map in the track editor view"},
    {CommandId::ConvertBigOsmToGpx, 32900, Menu::Convert, "Big OSM to GPX track", "", "", "Allows an area of a large OSM to be converted to a GPX track file."},
    {CommandId::ConvertOsmCameras, 33002, Menu::Convert, "OSM speed cameras", "", "", "Writes the speed cameras of an OpenStreetMap file to a camera file"},
    {CommandId::ConvertAddNewLines, 32903, Menu::Convert, "Add new line pairs", "", "", "Adds a new line character to a file after each </trkpt> <trk> </trk> </name> <trkseg> </trkseg> />"},
    {CommandId::ConvertSrtmToGpx, 32904, Menu::Convert, "SRTM HGT to GPX track", "", "", "Converts a Topographic SRTM 3 Arc HGT (NASA height) file to a GPX track file for use as a contour file."},

    {CommandId::LogNmeaData, 32823, Menu::Action, "&Log NMEA Data", "", "", "Stores GPS NMEA data in a log file", false, true},
    {CommandId::Mute, 32826, Menu::Action, "&Mute", "", "Q", "Turns sound off/on.", false, true},
    {CommandId::MarkLocation, 32800, Menu::Action, "Mark &Location", "", "M", "Saves the current location in the file C:\\VARNO\\MarkedSpots.txt"},
    {CommandId::ManualLocation, 32860, Menu::Action, "Manual Location", "", "", "Centers the map on a manually entered location."},
    {CommandId::NearPoiList, 32829, Menu::Action, "Near &POI List", "", "", "Displays a list of nearby points of interest", Sep},
    {CommandId::NearCameraList, 32788, Menu::Action, "Near &Camera List", "", "", "Displays the list of nearby cameras"},
    {CommandId::RouteExcludedList, 32865, Menu::Action, "Route Excluded List", "", "", "Displays the cameras excluded by the route"},
    {CommandId::RoutePointsList, 32842, Menu::Action, "Route Points List", "", "", "Displays a list of the points in the loaded route file."},
    {CommandId::RoutePicker, 32861, Menu::Action, "Route Picker (R)", "", "R", "Quick selection of route file."},
    {CommandId::SelectPoiFiles, 32828, Menu::Action, "&Select Poi Files", "", "", "Choose the points of interest files to use", Sep},
    {CommandId::SelectRouteFile, 32841, Menu::Action, "Select &Route File", "", "", "Select a route file."},

    {CommandId::AutoStart, 32847, Menu::Options, "A&uto start", "", "", "Choose the actions taken when the program starts"},
    {CommandId::StartTime, 32866, Menu::Options, "Start Time", "", "", "Choose the actions taken when the program starts between given times"},
    {CommandId::Colours, 32799, Menu::Options, "&Colours", "", "", "Choose day and night display colours", Sep},
    {CommandId::DayColours, 32802, Menu::Options, "Use &day colours", "", "", "Use the day time display colours"},
    {CommandId::NightColours, 32803, Menu::Options, "Use &night colours", "", "", "Use the night time display colours"},
    {CommandId::CommSettings, 32774, Menu::Options, "C&omm Settings", "", "", "Choose comms port and settings", Sep},
    {CommandId::MapScale, 32790, Menu::Options, "&Map scale", "", "", "Choose area covered by the map"},
    {CommandId::RouteOptions, 32843, Menu::Options, "&Route", "", "", "Choose the route display options"},
    {CommandId::RouteAgentOptions, 32853, Menu::Options, "Route MSAgent", "", "", "Choose the route speech options"},
    {CommandId::Scr800x700, 32793, Menu::Options, "Scr=800*&700", "", "7", "Sets window size to 800 * 700", Sep},
    {CommandId::Scr800x600, 32791, Menu::Options, "Scr=800*&600", "", "6", "Sets window size to 800 * 600"},
    {CommandId::Scr600x480, 32792, Menu::Options, "Scr=600*&480", "", "4", "Sets window size to 600 * 480"},
    {CommandId::SpecsAverageSpeed, 32798, Menu::Options, "Specs &average speed", "", "", "Choose options for average speed display when in specs zone", Sep},
    {CommandId::Speed, 32784, Menu::Options, "Sp&eed", "", "", "Choose the units speed is shown in"},
    {CommandId::TimeZone, 32797, Menu::Options, "Time &zone", "", "", "Enter the time zone of the time shown"},
    {CommandId::TrackLogging, 32796, Menu::Options, "&Track Logging", "", "", "Choose the track logging options"},
    {CommandId::DriverAids, 33001, Menu::Options, "&Driver aids", "", "", "Choose the driver aids: direction-aware warnings, over-limit chime, average-speed coach"},
    {CommandId::RoadMap, 33040, Menu::Options, "Road ma&p...", "", "", "Choose or build the road map drawn under the views and matched to the fix"},

    {CommandId::RunStart, 32782, Menu::Run, "&Start", "", "S", "Opens the comm port and reads nmea data from your GPS"},
    {CommandId::RunStop, 32783, Menu::Run, "Sto&p", "", "E", "Closes the comms port and stops monitoring your GPS."},

    {CommandId::TracksClose, 32885, Menu::Tracks, "&Close", "", "", "Closes the current track editor map file."},
    {CommandId::TracksNew, 32884, Menu::Tracks, "&New", "", "", "Creates a new empty track editor map file."},
    {CommandId::TracksOpen, 32881, Menu::Tracks, "&Open", "", "", "Opens a track editor map file."},
    {CommandId::TracksSave, 32882, Menu::Tracks, "&Save", "", "", "Saves the current track editor map file."},
    {CommandId::TracksSaveAs, 32883, Menu::Tracks, "Save &As", "", "", "Saves the current track editor map file with a new name."},
    {CommandId::TracksDescription, 32888, Menu::Tracks, "&Description", "", "", "Enter or change the current tracks map file description.", Sep},
    {CommandId::TracksAddRemove, 32886, Menu::Tracks, "Add/Remove &Track", "", "", "Adds or removes tracks (NMEA log files) in the current track map file."},
    {CommandId::TracksVisible, 32892, Menu::Tracks, "&Visible Tracks", "", "", "Choose which tracks are visible (displayed)."},
    {CommandId::TracksLoadJosmGpx, 32894, Menu::Tracks, "Load JOSM &GPX file", "", "", "Load tracks from a JOSM GPX track file.", Sep},
    {CommandId::TracksLoadOsm, 32897, Menu::Tracks, "&Load OSM XML file", "", "", "Load OSM XML file."},
    {CommandId::TracksEditTrack, 32889, Menu::Tracks, "&Edit track", "", "", "Choose a track from the current track map file list to edit.", Sep},
    {CommandId::TracksSaveEdited, 32890, Menu::Tracks, "Save &editted track", "", "", "Save any changes to the track you are currently editting."},
    {CommandId::TracksCloseEdited, 32891, Menu::Tracks, "Close editted trac&k", "", "", "Closes the track you are currently editting."},
    {CommandId::TracksShowLocation, 32895, Menu::Tracks, "S&how location", "", "", "Displays a cursor at the current vehicle position.", Sep, true},
    {CommandId::TracksRefreshRate, 32896, Menu::Tracks, "&Refresh rate", "", "", ""},
    {CommandId::TracksShowIcons, 32914, Menu::Tracks, "Show icons", "", "", "Displays icons for amenity e.g. parking, pubs etc.", Sep, true},
    {CommandId::TracksShowNodeNames, 32915, Menu::Tracks, "Show node names", "", "", "Shows the names for single location nodes, eg pubs. (only GPX files converted with Include POI option)", false, true},
    {CommandId::TracksShowRoadNames, 32901, Menu::Tracks, "Show road names", "", "", "Displays road names.", false, true},
    {CommandId::TracksShowRoadRef, 32902, Menu::Tracks, "Show road ref", "", "", "Displays the road ref eg M4", false, true},
    {CommandId::TracksLoadSrtm, 32905, Menu::Tracks, "Load SRTM 3 arc-seconds file.", "", "", "Fills the background with colour showing an SRTM 3 arc file ground height.", Sep},
    {CommandId::TracksUnloadSrtm, 32906, Menu::Tracks, "Unload SRTM 3 arc-seconds file", "", "", "Unload SRTM 3 arc-seconds file."},

    {CommandId::TrailLoad, 32917, Menu::Trail, "&Load trail", "", "", "Loads a Gpolyline GPX Route  for use in Trail view. "},
    {CommandId::TrailUnload, 32920, Menu::Trail, "&Unload trail", "", "", "Unloads a Gpolyline GPX Route from memory."},

    {CommandId::DoOnDraw, 32785, Menu::Test, "Do a ondraw", "", "", "Processes a dummy NMEA string and draws the window layout"},
    {CommandId::CheckRegistry, 32786, Menu::Test, "Check Registry", "", "", "Creates any missing registry entries and set all entries to defaults"},
    {CommandId::LoadCameraFile, 32787, Menu::Test, "Load camera file", "", "", "Loads a list of nearby cameras in to memory"},
    {CommandId::DistanceToLocation, 32789, Menu::Test, "Get distance to a location", "", "", "Calculate distance between two locations"},
    {CommandId::SendLogToPort, 32794, Menu::Test, "Send log file to port", "", "", "Sends an NMEA log file to a comms port", Sep},
    {CommandId::ReplayLog, 32873, Menu::Test, "Replay a log file", "", "Esc", "Replays an NMEA log file as if it came from the GPS"},
    {CommandId::AgentLoad, 32849, Menu::Test, "Load a MSAgent character", "", "", "Loads the MSAgent character", Sep},
    {CommandId::AgentSpeak, 32850, Menu::Test, "Make MSAgent speak", "", "", "Makes the MSAgent character speak"},
    {CommandId::AgentUnload, 32852, Menu::Test, "Unload MSAgent character", "", "", "Unloads the MSAgent character"},
    {CommandId::PassedCameraList, 32872, Menu::Test, "Create passed camera list", "", "", "Create a list of passed cameras from a NMEA log file.", Sep},
    {CommandId::SnapToRoute, 32879, Menu::Test, "Snap to route", "", "", "Snaps the map location to each point of the current route."},

    {CommandId::AppAbout, 57664, Menu::Help, "&About VARNO...", "", "", "Display program information, version number and copyright"},
    {CommandId::ShortcutList, 32836, Menu::Help, "&Shortcut key list", "", "", "Display a list of actions that are associated with shortcut keys."},

    // Reached only by a key.
    {CommandId::KeyStartS, 32813, Menu::None, "Start GPS", "S", "", "Opens the comm port and reads nmea data from your GPS"},
    {CommandId::KeyStopE, 32814, Menu::None, "Stop GPS", "E", "", "Closes the comms port and stops monitoring your GPS."},
    {CommandId::KeyMarkM, 32817, Menu::None, "Mark location", "M", "", "Saves the current location in the file C:\\VARNO\\MarkedSpots.txt"},
    {CommandId::KeySpecsSpace, 32820, Menu::None, "Clear or start specs line", "Space", "", ""},
    {CommandId::KeyZoomInPlus, 32822, Menu::None, "Zoom in", "+", "", "Zooms in the map"},
    {CommandId::KeyZoomOutMinus, 32821, Menu::None, "Zoom out", "-", "", "Zooms out the map"},
    {CommandId::KeyZoomInF4, 32834, Menu::None, "Zoom in", "F4", "", "Zooms in the map"},
    {CommandId::KeyZoomOutF3, 32835, Menu::None, "Zoom out", "F3", "", "Zooms out the map"},
    {CommandId::KeyZoomInNum, 32815, Menu::None, "Zoom in", "Num+", "", "Zooms in the map"},
    {CommandId::KeyZoomOutNum, 32816, Menu::None, "Zoom out", "Num-", "", "Zooms out the map"},
    {CommandId::NextViewV, 32832, Menu::None, "Next view", "V", "", "Switch to next view."},
    {CommandId::NextViewF5, 32833, Menu::None, "Next view", "F5", "", "Switch to next view."},
    {CommandId::KeyCameraMapF6, 32844, Menu::None, "Camera view", "F6", "", "Switches to camera map view."},
    {CommandId::KeyPoiF7, 32845, Menu::None, "Poi view", "F7", "", "Switches to points of interest view."},
    {CommandId::KeyRouteF8, 32846, Menu::None, "Route view", "F8", "", "Switches to route view."},
    {CommandId::KeyCameraMapB, 32907, Menu::None, "Camera view", "B", "", "Switches to camera map view."},
    {CommandId::KeyPoiN, 32911, Menu::None, "Poi view", "N", "", "Displays points of interest."},
    {CommandId::KeyRouteComma, 32912, Menu::None, "Route view", ",", "", "Switches to route view."},
    {CommandId::KeyPointerDot, 32913, Menu::None, "Pointer view", ".", "", "Switches to pointer view."},
    {CommandId::KeyCompassF9, 32858, Menu::None, "Compass view", "F9", "", "Switches to compass view."},
    {CommandId::KeyTrailSlash, 32919, Menu::None, "Trail view", "/", "", "Switches to trail view."},
    {CommandId::KeyTrackEditorT, 32899, Menu::None, "Track editor view", "T", "", "Switches to track editor view."},
    {CommandId::KeyAgentF10, 32855, Menu::None, "Toggle MSAgent on/off", "F10", "", ""},
    {CommandId::KeySpeakWaypoint0, 32854, Menu::None, "Speak nearest route waypoint", "0", "", ""},
    {CommandId::KeyRoutePickR, 32862, Menu::None, "Route pick list", "R", "", "Quick selection of route file."},
    {CommandId::KeyMuteQ, 32848, Menu::None, "Mute/Unmute", "Q", "", "Turns sound off/on."},
    {CommandId::KeyRouteMotorwayZ, 32869, Menu::None, "Route Motorway mode", "Z", "", ""},
    {CommandId::KeyRouteCountryX, 32870, Menu::None, "Route Country mode", "X", "", ""},
    {CommandId::KeyRouteTownC, 32871, Menu::None, "Route Town mode", "C", "", ""},
    {CommandId::KeyStopReplayEsc, 32874, Menu::None, "Stop replay", "Esc", "", ""},
    {CommandId::Key600x480, 32837, Menu::None, "600*480 Window", "4", "", "Sets window size to 600 * 480"},
    {CommandId::Key800x600, 32838, Menu::None, "800*600 Window", "6", "", "Sets window size to 800 * 600"},
    {CommandId::Key800x700, 32839, Menu::None, "800*700 Window", "7", "", "Sets window size to 800 * 700"},

    // The buttons of the VARNO toolbar.
    {CommandId::ToolStart, 32804, Menu::None, "Start GPS", "", "", "Opens the comms port and reads the GPS NMEA data."},
    {CommandId::ToolStop, 32805, Menu::None, "Stop GPS", "", "", "Closes the comms port and stops reading the GPS NMEA data."},
    {CommandId::ToolZoomIn, 32806, Menu::None, "Zoom in", "", "", "Zooms in the map"},
    {CommandId::ToolZoomOut, 32807, Menu::None, "Zoom out", "", "", "Zooms out the map"},
    {CommandId::ToolMark, 32808, Menu::None, "Mark location", "", "", "Saves the current location in the file C:\\VARNO\\MarkedSpots.txt"},
    {CommandId::ToolDay, 32811, Menu::None, "Day colours", "", "", "Use day time colours"},
    {CommandId::ToolNight, 32812, Menu::None, "Night colours", "", "", "Use night time colours"},
    {CommandId::Tool800x600, 32818, Menu::None, "800 * 600", "", "", "Sets window size to 800 * 600"},
    {CommandId::ToolMute, 32824, Menu::None, "Mute", "", "", "Turns camera announcement sound off/on", false, true},
};

constexpr Menu kMenuBar[] = {Menu::File,   Menu::View, Menu::Convert, Menu::Action, Menu::Options,
                             Menu::Run,    Menu::Tracks, Menu::Trail, Menu::Test,   Menu::Help};

// Rows stand in the order of CommandId, so an id is its row's index.
constexpr bool rowsFollowTheIds()
{
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        if (static_cast<std::size_t>(kCommands[i].id) != i)
            return false;
    }
    return std::size(kCommands) == static_cast<std::size_t>(CommandId::ToolMute) + 1;
}
static_assert(rowsFollowTheIds(), "every CommandId needs its row, in the order of the enum");

using enum CommandId;
constexpr std::optional<CommandId> kVarnoToolbar[] = {ToolStart,   ToolStop, std::nullopt, ToolZoomIn, ToolZoomOut,
                                                      ToolMark,    ToolDay,  ToolNight,    Tool800x600, ToolMute};
constexpr CommandId kFileToolbar[] = {FileOpen, FileSave, FilePrint, AppAbout};

constexpr ShortcutRow kShortcutRows[] = {
    {"Route Town mode", "", "C", "Announces at 500m and 150m before route point."},
    {"Route Country mode", "", "X", "Announces at 600m and 300m before route point."},
    {"Route Motorway mode", "", "Z", "Announces at 1600m and 600m before route point."},
    {"Toggle MSAgent on/off", "F10", "", "Also sets default state of MSAgent."},
    {"Track editor view", "", "T", "Toggle between Track editor view and Camera view."},
    {"Compass view", "F9", "", "From this view use F5 for Pointer view."},
    {"Route view", "F8", ",", "Displays and announces route."},
    {"Poi view", "F7", "N", "Displays points of interest."},
    {"Camera view", "F6", "B", "This is the default view."},
    {"Pointer view", "", ".", "Combined compass and route view."},
    {"Trail view", "", "/", "Twin compass, route and Google GPolyline view."},
    {"Next view", "F5", "V", "Switch to next view."},
    {"Zoom in", "F4", "+ (Plus)", "Zooms the map in."},
    {"Zoom out", "F3", "- (Minus)", "Zooms the map out."},
    {"Stop GPS", "", "E", "Closes the comm port"},
    {"Start GPS", "", "S", "Opens the comm port and reads NMEA from your GPS."},
    {"Mute/Unmute", "", "Q", "Switch off/on spoken camera warnings."},
    {"File save", "", "Ctrl + S", "Saves the current track points to file."},
    {"Print", "", "Ctrl + P", "A token gesture at printing the camera view map."},
    {"File open", "", "Ctrl + O", "Loads track points from file."},
    {"Mark position", "", "M", "Saves the current GPS position to the file MarkedSpots.txt"},
    {"Clear or start specs line", "", "Space", "If the map is clear of any cameras the line is also cleared."},
    {"800*700 Window", "", "7", "Large enough for the GPS NMEA strings to display at the bottom."},
    {"800*600 Window", "", "6", "This is the default. Best set in Auto start options."},
    {"640*480 Window", "", "4", "This size is too small for proper screen display."},
    {"Speak nearest route waypoint", "", "0", "MSAgent speaks the nearest route waypoint"},
    {"Route pick list", "", "R", "Displays the route quick pick dialog."},
};
// clang-format on

} // namespace

std::span<const Command> CommandTable::all()
{
    return kCommands;
}

const Command& CommandTable::find(CommandId id)
{
    return kCommands[static_cast<std::size_t>(id)];
}

std::vector<Command> CommandTable::menuItems(Menu menu)
{
    std::vector<Command> items;
    for (const Command& c : kCommands) {
        if (c.menu == menu && menu != Menu::None)
            items.push_back(c);
    }
    return items;
}

std::string_view CommandTable::menuTitle(Menu menu)
{
    switch (menu) {
    case Menu::File:
        return "&File";
    case Menu::View:
        return "&View";
    case Menu::Convert:
        return "Convert";
    case Menu::Action:
        return "Action";
    case Menu::Options:
        return "Options";
    case Menu::Run:
        return "Run";
    case Menu::Tracks:
        return "Tracks";
    case Menu::Trail:
        return "Trail";
    case Menu::Test:
        return "Test";
    case Menu::Help:
        return "&Help";
    case Menu::None:
        break;
    }
    return {};
}

std::span<const Menu> CommandTable::menuBar()
{
    return kMenuBar;
}

std::span<const std::optional<CommandId>> CommandTable::varnoToolbar()
{
    return kVarnoToolbar;
}

std::span<const CommandId> CommandTable::fileToolbar()
{
    return kFileToolbar;
}

std::span<const ShortcutRow> CommandTable::shortcutRows()
{
    return kShortcutRows;
}

std::optional<CommandTable::Rect> CommandTable::sizeCommandRect(CommandId id)
{
    switch (id) {
    case CommandId::Scr600x480:
    case CommandId::Key600x480:
        return Rect{10, 10, 590, 470};
    case CommandId::Scr800x600:
    case CommandId::Tool800x600:
    case CommandId::Key800x600:
        return Rect{10, 10, 790, 590};
    case CommandId::Scr800x700:
    case CommandId::Key800x700:
        return Rect{10, 10, 790, 690};
    default:
        return std::nullopt;
    }
}

} // namespace varno::session
