// The track editor view: the tracks of the open map file, edited with the mouse. For now it shows the fill.
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class TrackEditorMode final : public ViewMode {
public:
    MapView id() const override { return MapView::TrackEditor; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Toggle)
            steps.releaseAgentRequest();
    }

    // The editor works on its own extent: sentences are not decoded into the
    // fix, and the camera dashboard's lines and strip are not drawn.
    bool takesFixes() const override { return false; }
    bool showsTopLines() const override { return false; }
    bool showsStrip() const override { return false; }
    bool fixedLayout() const override { return false; }
};

} // namespace

std::unique_ptr<ViewMode> makeTrackEditorMode()
{
    return std::make_unique<TrackEditorMode>();
}

} // namespace varno::views
