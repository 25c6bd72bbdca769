// The camera view: the dashboard of the nearest camera, the map of the cameras around the fix, the trail.
#include "views/CameraViewScene.h"
#include "views/ViewMode.h"

namespace varno::views {
namespace {

class CameraMode final : public ViewMode {
public:
    MapView id() const override { return MapView::Camera; }

    void enter(ViewSwitch how, ViewSteps& steps) override
    {
        // Toggling a view off comes back here without reloading anything.
        if (how != ViewSwitch::Always)
            return;
        steps.freePoiList();
        steps.releaseAgentRequest();
        steps.reloadCameras();
    }

    void addToScene(Scene& scene, const SceneInput& in) const override { addCameraDashboard(scene, in); }
};

} // namespace

std::unique_ptr<ViewMode> makeCameraMode()
{
    return std::make_unique<CameraMode>();
}

} // namespace varno::views
