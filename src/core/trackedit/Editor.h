// The track editor's state and its mouse editing: the open map file, the
// edited track and its markers, the view's origin and scale, the background
// and the undo history. Fed by pointer events and commands; no Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "gps/Fix.h"
#include "trackedit/Background.h"
#include "trackedit/EditorProjection.h"
#include "trackedit/EntryIndex.h"
#include "trackedit/TrackStore.h"
#include "views/Scene.h"
#include "views/ViewMode.h"

namespace varno::trackedit {

// The track opened for editing: its points, and for each point the number of
// the $GPGGA line (from 0) it came from, which the saved stretch counts by.
struct EditedTrack {
    TrackEntry entry;
    std::vector<std::uint32_t> ggaLine;
};

// The buttons painted into the editor.
enum class EditorButton {
    None,
    StartMinus10,
    StartMinus1,
    StartPlus1,
    StartPlus10,
    EndMinus10,
    EndMinus1,
    EndPlus1,
    EndPlus10,
    ZoomOut,
    ZoomIn,
    North,
    South,
    West,
    East,
    TopBarGap,    // the top bar between its buttons
    BottomBarGap, // the bottom bar beside the zoom buttons
    TrackBar,
};

// Which button a left press at (x, y) in a W x H view lands on.
EditorButton hitButton(int x, int y, int width, int height);

class Editor {
public:
    // The marker values while no track is edited.
    static constexpr long kNoStart = -1;
    static constexpr long kNoEnd = 100;
    static constexpr long kNoCount = 100;
    // The undo history keeps at least this many steps.
    static constexpr std::size_t kUndoSteps = 200;

    explicit Editor(Prompt& prompt);

    // Asked when Save needs a name (Save As): the chosen path, nullopt for Cancel.
    std::function<std::optional<std::string>(const std::string& proposed)> chooseMapPath;

    // ---- the map file ----
    const TrackStore* store() const { return store_ ? &*store_ : nullptr; }
    // New: asks about the open map file; true when a map file is open afterwards
    // (the caller then shows the description dialog).
    bool newMap();
    // Open, after the file dialog: asks about unsaved changes, reads the file,
    // then asks whether to load and show every track. False when it stopped.
    bool openMap(const std::string& path);
    // Save and Save As: 0 on success, -1 on failure (the message was shown).
    int saveMap();
    int saveMapAs();
    // Save As to a path already chosen (the overwrite question is asked here).
    int saveMapTo(const std::string& path);
    // Close: asks about unsaved marks and unsaved tracks first; false when the
    // user kept the map file (or saving it failed).
    bool closeMap();
    // Shutting the window: asks about unsaved work; false to keep the window open.
    bool closeOnShutdown();
    void setDescription(const std::string& text);
    // Add appends a listed track (not loaded) and sets the save prompt; Remove
    // takes the entry of a list row. Both are undone by undo().
    bool addTrack(const std::string& description, const std::string& path);
    bool removeTrackRow(std::size_t row);
    // The entries the list dialogs show, in row order.
    std::vector<std::size_t> listRows() const;
    // Visible Tracks: a flag per list row; loads or unloads, then fits the view.
    void applyVisibility(const std::vector<bool>& visibleRows);
    // Loads every listed track not loaded yet and fits the view.
    void loadAll();
    // Appends display entries (OSM or GPX data) and fits the view.
    void appendEntries(std::vector<TrackEntry> entries);
    void setSrtm(std::optional<SrtmLayer> layer) { srtm_ = std::move(layer); }
    const SrtmLayer* srtm() const { return srtm_ ? &*srtm_ : nullptr; }

    // ---- the edited track ----
    const EditedTrack* edited() const { return edited_ ? &*edited_ : nullptr; }
    // Before the track chooser: false (after a message or a No) when it must not open.
    bool beginEditTrack();
    // The chooser's choice: reads the log and fits the view to it. An empty path
    // closes the edited track.
    bool openEditedTrack(const std::string& description, const std::string& path);
    // Before the save dialog of Save edited track: false after a message.
    bool canSaveEditedTrack();
    // Writes the marked stretch of the source log to outPath; false after a message.
    bool saveEditedTrackTo(const std::string& outPath);
    // The Close edited track command; false when the user kept it.
    bool closeEditedTrackCommand();
    bool editedChanged() const { return editedChanged_; }

    long startIndex() const { return start_; }
    long endIndex() const { return end_; }
    long pointCount() const { return count_; }
    TrackPoint startMarker() const { return startPos_; }
    TrackPoint endMarker() const { return endPos_; }
    // The point an index designates, if any.
    const TrackPoint* pointAt(long index) const;

    // ---- the view ----
    const EditorProjection& projection() const { return proj_; }
    void setOrigin(double leftLonDeg, double topLatDeg, double scale);
    void fitAllTracks();
    bool onPointer(const views::PointerEvent& e);
    // The last button pressed, drawn pressed until the next press.
    EditorButton pressed() const { return pressed_; }

    TrackDisplayFlags displayFlags;
    bool showLocation = false;
    // The refresh value: paints are throttled to one in refresh / 9600 + 1 while
    // the location is shown.
    long refreshRate = 4800;
    // A command or edit changed the view: the next paint draws.
    void redraw() { paintSkip_ = 0; }
    // The throttle: true when this paint draws.
    bool paintDue();
    // The fix the location cross is drawn at.
    void setFix(const gps::Fix& fix);
    TrackPoint location() const { return location_; }
    // The editor's drawing for a W x H view, after the throttle; a skipped paint
    // repeats the last drawing.
    void paint(views::Scene& scene, int width, int height);
    // The drawing itself, without the throttle.
    void buildScene(views::Scene& scene, int width, int height);

    // ---- undo ----
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    bool undo();
    bool redo();

private:
    struct Step {
        enum class Kind { Markers, AddTrack, RemoveTrack, Description } kind = Kind::Markers;
        long oldStart = 0, oldEnd = 0, newStart = 0, newEnd = 0;
        std::size_t index = 0;
        TrackEntry entry;
        bool dirtyBefore = false;
        std::optional<std::string> oldText, newText;
    };
    void record(Step step);
    void apply(Step& step, bool forward);
    void clearHistory();
    void setMarkers(long start, long end);
    void stepMarker(EditorButton b);
    void resetMarkers();
    void closeEdited();
    bool askDiscardEdited();
    // Asks about an unsaved map file before it goes; false when it must stay.
    bool askSaveBeforeFree();
    void fitTo(const std::vector<const std::vector<TrackPoint>*>& tracks);
    bool onLeftDown(int x, int y);
    // The entries' polylines and labels, looked up in the grid when only they are drawn.
    void drawEntries(views::Scene& scene);
    // Every change of the list of entries: the grid is built again at the next paint.
    void tracksChanged() { ++tracksVersion_; }
    bool onDoubleClick(const views::PointerEvent& e);

    Prompt& prompt_;
    std::optional<TrackStore> store_;
    std::optional<EditedTrack> edited_;
    bool editedChanged_ = false;
    std::optional<SrtmLayer> srtm_;
    EditorProjection proj_;
    long start_ = kNoStart, end_ = kNoEnd, count_ = kNoCount;
    TrackPoint startPos_, endPos_;
    TrackPoint location_;
    EditorButton pressed_ = EditorButton::None;
    int rightDownX_ = 0, rightDownY_ = 0;
    int paintSkip_ = 0;
    views::Scene last_;
    EntryIndex index_;
    std::uint64_t tracksVersion_ = 1, indexVersion_ = 0;
    std::vector<std::uint32_t> candidates_;
    std::vector<Step> done_, undone_;
};

} // namespace varno::trackedit
