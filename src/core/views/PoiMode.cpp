// The POI view: the points of interest around the fix, drawn as labelled stars.
#include "views/HeadingScenes.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class PoiMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Poi; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how != ViewSwitch::Next)
            steps.releaseAgentRequest();
        steps.loadPoiList();
    }

    void leave(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::ToggleBack || how == ViewSwitch::Next)
            steps.freePoiList();
        // On to the route view by the cycle: the next fix reloads the cameras too.
        if (how == ViewSwitch::Next)
            steps.forceCameraReload();
    }

    // The POI list follows the radius and the periodic reload instead of the cameras.
    void rebuildForRadius(ViewSteps& steps) override { steps.loadPoiList(); }
    void beforePeriodicReload(ViewSteps& steps) override { steps.loadPoiList(); }

    void addToScene(Scene& scene, const SceneInput& in) const override { addPoiView(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makePoiMode()
{
    return std::make_unique<PoiMode>();
}

} // namespace varno::views
