// The command vocabulary: ids, menus, item texts, keys, status prompts and the shortcut list.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varno::session {

// The menu bar, in order. None: a command reached only by a key or a toolbar button.
enum class Menu { None, File, View, Convert, Action, Options, Run, Tracks, Trail, Test, Help };

struct Command {
    int id = 0;
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

// Command ids the shell handles itself.
namespace cmd {
inline constexpr int FileOpen = 57601, FileSave = 57603, FileSaveAs = 57604, FilePrint = 57607,
                     FilePrintPreview = 57609, FilePrintSetup = 57606, AppExit = 57665, AppAbout = 57664;
inline constexpr int ViewToolbar = 59392, ViewStatusBar = 59393, VarnoToolbar = 32809;
inline constexpr int CameraMap = 32859, DisplayPoi = 32827, RouteView = 32840, CompassView = 32857,
                     PointerView = 32867, TrailView = 32918, TrackEditorView = 32880;
inline constexpr int KeyCameraMapF6 = 32844, KeyPoiF7 = 32845, KeyRouteF8 = 32846;
inline constexpr int KeyCameraMapB = 32907, KeyPoiN = 32911, KeyRouteComma = 32912, KeyPointerDot = 32913,
                     KeyCompassF9 = 32858, KeyTrailSlash = 32919, KeyTrackEditorT = 32899;
inline constexpr int NextViewV = 32832, NextViewF5 = 32833;
inline constexpr int RunStart = 32782, RunStop = 32783, KeyStartS = 32813, KeyStopE = 32814,
                     ToolStart = 32804, ToolStop = 32805;
inline constexpr int DayColours = 32802, NightColours = 32803, ToolDay = 32811, ToolNight = 32812;
inline constexpr int Scr800x700 = 32793, Scr800x600 = 32791, Scr600x480 = 32792, Tool800x600 = 32818,
                     Key600x480 = 32837, Key800x600 = 32838, Key800x700 = 32839;
inline constexpr int AutoStart = 32847, StartTime = 32866, CommSettings = 32774, Speed = 32784,
                     TimeZone = 32797;
inline constexpr int CheckRegistry = 32786, ShortcutList = 32836;
} // namespace cmd

class CommandTable {
public:
    // Every command: the menu items in menu order, then the key commands, then
    // the toolbar buttons.
    static std::span<const Command> all();
    static std::optional<Command> find(int id);
    // The items of one menu, in order.
    static std::vector<Command> menuItems(Menu menu);
    // "&File", "&View", ...
    static std::string_view menuTitle(Menu menu);
    static std::span<const Menu> menuBar();

    // The second toolbar, in order; 0 stands for a separator.
    static std::span<const int> varnoToolbar();
    // The first toolbar (Open, Save, Print, About).
    static std::span<const int> fileToolbar();

    // The "Shortcut keys list" rows, in order.
    static std::span<const ShortcutRow> shortcutRows();

    // The window rectangle (left, top, right, bottom) a size command gives;
    // nullopt for other ids.
    struct Rect {
        int left, top, right, bottom;
    };
    static std::optional<Rect> sizeCommandRect(int id);
};

} // namespace varno::session
