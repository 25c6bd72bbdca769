// The track editor view: the tracks of the open map file, edited with the mouse.
// It is a view mode, but lives with the editor it drives.
#include "trackedit/Editor.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class TrackEditorMode final : public ViewMode {
public:
    explicit TrackEditorMode(trackedit::Editor* editor) : editor_(editor) {}

    MapView id() const override { return MapView::TrackEditor; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Toggle)
            steps.releaseAgentRequest();
        if (editor_)
            editor_->redraw();
    }

    // The editor works on its own extent: sentences are decoded into the fix
    // only while the location is shown, and the camera dashboard's lines and
    // strip are not drawn.
    bool takesFixes() const override { return editor_ && editor_->showLocation; }
    bool showsTopLines() const override { return false; }
    bool showsStrip() const override { return false; }
    // Its bars and buttons are laid out over the whole window.
    bool fixedLayout() const override { return false; }

    // Painting moves the view to an off-screen location and counts the
    // throttle, so the editor is reached through a pointer to non-const.
    void addToScene(Scene& scene, const SceneInput& in) const override
    {
        if (!editor_)
            return;
        editor_->setFix(in.fix);
        editor_->paint(scene, in.windowWidth, in.windowHeight);
    }

    bool onPointer(const PointerEvent& e) override { return editor_ && editor_->onPointer(e); }

private:
    trackedit::Editor* editor_;
};

} // namespace

std::unique_ptr<ViewMode> makeTrackEditorMode(trackedit::Editor* editor)
{
    return std::make_unique<TrackEditorMode>(editor);
}

} // namespace varno::views
