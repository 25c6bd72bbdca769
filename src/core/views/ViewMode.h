// One map view's behaviour: what entering and leaving it does, its per-fix step, its scene and its input.
#pragma once

#include <array>
#include <memory>

#include "views/MapView.h"
#include "views/Scene.h"
#include "views/SceneInput.h"

namespace varno::trackedit {
class Editor;
}

namespace varno::views {

// How a switch of view was asked for; some views take different steps for each.
enum class ViewSwitch {
    Toggle,     // a toggling View item (or its key) turned the view on
    ToggleBack, // the same item turned it off again: back to the camera map
    Always,     // Camera Map, F6, B, F7, F8: always that view
    Next,       // V and F5: the next view of the cycle
};

// The steps a switch of view takes on what several views share: the POI list,
// the speech agent, the route guidance and the camera list. The session
// carries them out.
class ViewSteps {
public:
    virtual ~ViewSteps() = default;
    virtual void releaseAgentRequest() = 0;
    virtual void loadPoiList() = 0;
    virtual void freePoiList() = 0;
    // Resets the route announcement state and reads the road types again.
    virtual void resetRouteGuidance() = 0;
    virtual void loadAgentIfRouteSpeech() = 0;
    virtual void unloadAgent() = 0;
    // The cameras around the fix, now.
    virtual void reloadCameras() = 0;
    // The next per-fix step reloads the cameras.
    virtual void forceCameraReload() = 0;

    // The route steps of the route, pointer and trail entries.
    void enterRouteSteps()
    {
        releaseAgentRequest();
        resetRouteGuidance();
        loadAgentIfRouteSpeech();
    }
};

// A mouse event in window pixels.
struct PointerEvent {
    enum class Kind { Press, Move, Release, DoubleClick, Wheel } kind = Kind::Press;
    enum class Button { None, Left, Right, Middle } button = Button::None;
    int x = 0;
    int y = 0;
    int wheelDelta = 0; // Wheel: positive for a turn away from the user
};

// A key the view itself handles (the commands' keys never reach it).
struct KeyPress {
    enum class Key {
        Other,
        Left,
        Right,
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        Delete,
        Escape,
        Enter
    } key = Key::Other;
    char32_t text = 0; // the character typed, 0 for none
};

class ViewMode {
public:
    virtual ~ViewMode() = default;
    virtual MapView id() const = 0;

    // Both run after the view state shows the new view: first the old view's
    // leave, then the new view's enter.
    virtual void enter(ViewSwitch, ViewSteps&) {}
    virtual void leave(ViewSwitch, ViewSteps&) {}

    // The per-fix step, after the camera warnings of every view.
    virtual void onFix() {}
    // The objects around the fix again, after the map radius changed.
    virtual void rebuildForRadius(ViewSteps& steps) { steps.reloadCameras(); }
    // Just before the per-fix step's periodic camera reload.
    virtual void beforePeriodicReload(ViewSteps&) {}

    // Whether a repaint decodes the pending sentence into the fix and records
    // the track; a view that does not also draws before the first sentence.
    virtual bool takesFixes() const { return true; }
    // The camera line and average-speed line above the view's own drawing.
    virtual bool showsTopLines() const { return true; }
    // The sentence strip below it.
    virtual bool showsStrip() const { return true; }
    // Whether the view is drawn at its fixed layout size (and so may be scaled
    // to the window); false for a view that lays itself out over the whole window.
    virtual bool fixedLayout() const { return true; }
    // The view's own drawing, between the top lines and the strip.
    virtual void addToScene(Scene&, const SceneInput&) const {}

    // Mouse and keys on the view; true when handled (the view then repaints).
    virtual bool onPointer(const PointerEvent&) { return false; }
    virtual bool onKey(const KeyPress&) { return false; }
};

// The modes, one file each; the track editor's lies with the editor in
// trackedit/, which builds on the views and not the other way round.
std::unique_ptr<ViewMode> makeCameraMode();
std::unique_ptr<ViewMode> makePoiMode();
std::unique_ptr<ViewMode> makeRouteMode();
std::unique_ptr<ViewMode> makeCompassMode();
std::unique_ptr<ViewMode> makePointerMode();
std::unique_ptr<ViewMode> makeTrailMode();
// Without an editor the track editor view shows only its fill.
std::unique_ptr<ViewMode> makeTrackEditorMode(trackedit::Editor* editor = nullptr);

// The seven views, one mode each; which one is current follows the view state.
class ViewModes {
public:
    explicit ViewModes(trackedit::Editor* trackEditor = nullptr);

    ViewMode& mode(MapView v) { return *modes_[static_cast<std::size_t>(v)]; }
    const ViewMode& mode(MapView v) const { return *modes_[static_cast<std::size_t>(v)]; }

    // Runs the old view's leave and the new view's enter steps for `how`;
    // the caller has already shown `to` in its view state.
    void switchTo(MapView from, MapView to, ViewSwitch how, ViewSteps& steps);

private:
    std::array<std::unique_ptr<ViewMode>, kAllViews.size()> modes_;
};

// One repaint's scene: the window fill, then (unless the view takes no fixes
// and nothing has been received) the top lines, the view's drawing and the strip.
Scene composeScene(const ViewMode& mode, const SceneInput& in);

} // namespace varno::views
