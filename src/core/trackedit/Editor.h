// The track editor: the map document, the edited track with its marks, the
// pointer tools and the undo history put together behind the commands and
// pointer events of the window, with the view's origin, scale, throttle and
// drawing. No Qt.
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
#include "trackedit/MapDocument.h"
#include "trackedit/MarkedTrack.h"
#include "trackedit/PointerTools.h"
#include "trackedit/TrackStore.h"
#include "trackedit/UndoHistory.h"
#include "views/Scene.h"
#include "views/ViewMode.h"

namespace varno::trackedit {

class Editor {
public:
    // The marker values while no track is edited.
    static constexpr long kNoStart = MarkedTrack::kNoStart;
    static constexpr long kNoEnd = MarkedTrack::kNoEnd;
    static constexpr long kNoCount = MarkedTrack::kNoCount;
    // The undo history keeps at least this many steps.
    static constexpr std::size_t kUndoSteps = UndoHistory::kSteps;

    explicit Editor(Prompt& prompt);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Asked when Save needs a name (Save As): the chosen path, nullopt for Cancel.
    MapDocument::PathChooser chooseMapPath;

    // ---- the map file ----
    const TrackStore* store() const { return map_.store(); }
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
    const EditedTrack* edited() const { return marked_.track(); }
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
    bool editedChanged() const { return marked_.changed(); }

    long startIndex() const { return marked_.marks().start; }
    long endIndex() const { return marked_.marks().end; }
    long pointCount() const { return marked_.count(); }
    TrackPoint startMarker() const { return marked_.startMarker(); }
    TrackPoint endMarker() const { return marked_.endMarker(); }
    // The point an index designates, if any.
    const TrackPoint* pointAt(long index) const { return marked_.pointAt(index); }

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
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    bool undo();
    bool redo();

private:
    // Does an edit as an undo step and redraws.
    void perform(std::unique_ptr<EditCommand> command);
    // Closes the edited track; its mark moves leave the history.
    void closeEdited();
    bool askDiscardEdited();
    void fitTo(const std::vector<const std::vector<TrackPoint>*>& tracks);
    // The entries' polylines and labels, looked up in the grid when only they are drawn.
    void drawEntries(views::Scene& scene);

    Prompt& prompt_;
    MapDocument map_;
    MarkedTrack marked_;
    UndoHistory history_;
    ZoomTool zoomTool_;
    PanTool panTool_;
    PlaceMarkTool markTool_;
    std::optional<SrtmLayer> srtm_;
    EditorProjection proj_;
    TrackPoint location_;
    EditorButton pressed_ = EditorButton::None;
    int paintSkip_ = 0;
    views::Scene last_;
    EntryIndex index_;
    std::uint64_t indexVersion_ = 0;
    std::vector<std::uint32_t> candidates_;
};

} // namespace varno::trackedit
