// The pointer view: the compass with the route around the vehicle and arrows to it.
#include "views/HeadingScenes.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class PointerMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Pointer; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Toggle || how == ViewSwitch::Next)
            steps.enterRouteSteps();
    }

    void leave(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Next)
            steps.loadAgentIfRouteSpeech();
    }

    void addToScene(Scene& scene, const SceneInput& in) const override { addPointerView(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makePointerMode()
{
    return std::make_unique<PointerMode>();
}

} // namespace varno::views
