// The compass view: heading and bearing to the route. For now it shows the top lines.
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
};

} // namespace

std::unique_ptr<ViewMode> makeCompassMode()
{
    return std::make_unique<CompassMode>();
}

} // namespace varno::views
