// The trail view: two small roses, the route and the loaded GPX trail around the vehicle.
#include "views/HeadingScenes.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class TrailMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Trail; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Toggle)
            steps.enterRouteSteps();
    }

    void leave(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Next)
            steps.unloadAgent();
    }

    // No sentence strip under the trail.
    bool showsStrip() const override { return false; }

    void addToScene(Scene& scene, const SceneInput& in) const override { addTrailView(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makeTrailMode()
{
    return std::make_unique<TrailMode>();
}

} // namespace varno::views
