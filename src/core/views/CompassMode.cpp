// The compass view: the rose turned to the heading, beside a small map.
#include "views/HeadingScenes.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class CompassMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Compass; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Toggle)
            steps.releaseAgentRequest();
    }

    void addToScene(Scene& scene, const SceneInput& in) const override { addCompassView(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makeCompassMode()
{
    return std::make_unique<CompassMode>();
}

} // namespace varno::views
