// The route view: the loaded route around the fix with its guidance.
#include "views/RouteViewScene.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class RouteMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Route; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        switch (how) {
        case ViewSwitch::Toggle:
            steps.freePoiList();
            steps.enterRouteSteps();
            break;
        case ViewSwitch::Always:
            steps.freePoiList();
            steps.resetRouteGuidance();
            steps.loadAgentIfRouteSpeech();
            break;
        case ViewSwitch::Next:
            steps.enterRouteSteps();
            break;
        case ViewSwitch::ToggleBack:
            break;
        }
    }

    void leave(ViewSwitch how, ViewSteps& steps) override
    {
        if (how == ViewSwitch::Next)
            steps.loadAgentIfRouteSpeech();
    }

    void addToScene(Scene& scene, const SceneInput& in) const override { addRouteView(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makeRouteMode()
{
    return std::make_unique<RouteMode>();
}

} // namespace varno::views
