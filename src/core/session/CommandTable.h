// The command vocabulary: ids, menus, item texts, keys, status prompts and the shortcut list.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varno::session {

// The menu bar, in order. None: a command reached only by a key or a toolbar button.
enum class Menu { None, File, View, Convert, Action, Options, Run, Tracks, Trail, Test, Help };

// Every command of the menus, the keys and the toolbars, in the order of the table.
// clang-format off
enum class CommandId {
    // File
    FileOpen, FileSave, FileSaveAs, FilePrint, FilePrintPreview, FilePrintSetup, AppExit,
    // View
    ViewToolbar, ViewStatusBar, VarnoToolbar, CameraMap, DisplayPoi, RouteView, CompassView, PointerView,
    TrailView, TrackEditorView,
    // Convert
    ConvertPocketGpsCsv, ConvertGarminCsv, ConvertPocketGpsFiles, ConvertGpxRoute, ConvertGpxTrack,
    ConvertNmeaToGpx, ConvertJosmGpx, ConvertOsmToGpx, ConvertBigOsmToGpx, ConvertOsmCameras, ConvertAddNewLines,
    ConvertSrtmToGpx,
    // Action
    LogNmeaData, Mute, MarkLocation, ManualLocation, NearPoiList, NearCameraList, RouteExcludedList,
    RoutePointsList, RoutePicker, SelectPoiFiles, SelectRouteFile,
    // Options
    AutoStart, StartTime, Colours, DayColours, NightColours, CommSettings, MapScale, RouteOptions,
    RouteAgentOptions, Scr800x700, Scr800x600, Scr600x480, SpecsAverageSpeed, Speed, TimeZone, TrackLogging,
    DriverAids, RoadMap,
    // Run
    RunStart, RunStop,
    // Tracks
    TracksClose, TracksNew, TracksOpen, TracksSave, TracksSaveAs, TracksDescription, TracksAddRemove,
    TracksVisible, TracksLoadJosmGpx, TracksLoadOsm, TracksEditTrack, TracksSaveEdited, TracksCloseEdited,
    TracksShowLocation, TracksRefreshRate, TracksShowIcons, TracksShowNodeNames, TracksShowRoadNames,
    TracksShowRoadRef, TracksLoadSrtm, TracksUnloadSrtm,
    // Trail
    TrailLoad, TrailUnload,
    // Test
    DoOnDraw, CheckRegistry, LoadCameraFile, DistanceToLocation, SendLogToPort, ReplayLog, AgentLoad,
    AgentSpeak, AgentUnload, PassedCameraList, SnapToRoute,
    // Help
    AppAbout, ShortcutList,
    // Keys
    KeyStartS, KeyStopE, KeyMarkM, KeySpecsSpace, KeyZoomInPlus, KeyZoomOutMinus, KeyZoomInF4, KeyZoomOutF3,
    KeyZoomInNum, KeyZoomOutNum, NextViewV, NextViewF5, KeyCameraMapF6, KeyPoiF7, KeyRouteF8, KeyCameraMapB,
    KeyPoiN, KeyRouteComma, KeyPointerDot, KeyCompassF9, KeyTrailSlash, KeyTrackEditorT, KeyAgentF10,
    KeySpeakWaypoint0, KeyRoutePickR, KeyMuteQ, KeyRouteMotorwayZ, KeyRouteCountryX, KeyRouteTownC,
    KeyStopReplayEsc, Key600x480, Key800x600, Key800x700,
    // VARNO toolbar buttons; ToolMute stays last, the table's rows are checked up to it
    ToolStart, ToolStop, ToolZoomIn, ToolZoomOut, ToolMark, ToolDay, ToolNight, Tool800x600, ToolMute,
};
// clang-format on

struct Command {
    CommandId id{};
    // The command's fixed resource number; nothing outside this table uses it.
    int number = 0;
    Menu menu = Menu::None;
    // Menu item text with its "&" mnemonic; for key and toolbar commands a short
    // description of what they do.
    std::string_view text;
    // The accelerator bound to this command, empty when none. Tokens: a letter
    // or digit, ",", ".", "/", "+", "-", "F1".."F12", "Space", "Esc", "Ctrl+O",
    // "Num+" and "Num-" (the keypad keys).
    std::string_view key;
    // The key shown beside the menu item (it may belong to a key command that
    // does the same thing).
    std::string_view shownKey;
    std::string_view prompt;
    bool separatorBefore = false;
    bool checkable = false;
};

// One row of the "Shortcut keys list" dialog.
struct ShortcutRow {
    std::string_view function;
    std::string_view functionKey;
    std::string_view key;
    std::string_view notes;
};

class CommandTable {
public:
    // Every command: the menu items in menu order, then the key commands, then
    // the toolbar buttons.
    static std::span<const Command> all();
    // The row of a command; every id has exactly one.
    static const Command& find(CommandId id);
    // The items of one menu, in order.
    static std::vector<Command> menuItems(Menu menu);
    // "&File", "&View", ...
    static std::string_view menuTitle(Menu menu);
    static std::span<const Menu> menuBar();

    // The second toolbar, in order; nullopt stands for a separator.
    static std::span<const std::optional<CommandId>> varnoToolbar();
    // The first toolbar (Open, Save, Print, About).
    static std::span<const CommandId> fileToolbar();

    // The "Shortcut keys list" rows, in order.
    static std::span<const ShortcutRow> shortcutRows();

    // The window rectangle (left, top, right, bottom) a size command gives;
    // nullopt for other commands.
    struct Rect {
        int left, top, right, bottom;
    };
    static std::optional<Rect> sizeCommandRect(CommandId id);
};

} // namespace varno::session
