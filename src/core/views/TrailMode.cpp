// The trail view: the route as a trail ahead of the vehicle. For now it shows the top lines.
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
};

} // namespace

std::unique_ptr<ViewMode> makeTrailMode()
{
    return std::make_unique<TrailMode>();
}

} // namespace varno::views
