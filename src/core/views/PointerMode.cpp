// The pointer view: an arrow to the next route point. For now it shows the top lines.
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
};

} // namespace

std::unique_ptr<ViewMode> makePointerMode()
{
    return std::make_unique<PointerMode>();
}

} // namespace varno::views
