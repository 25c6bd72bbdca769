// The seven views' modes, switching between them, and the scene of one repaint.
#include "views/CameraViewScene.h"
#include "views/ReceiverNotice.h"
#include "views/ViewMode.h"

namespace varno::views {

ViewModes::ViewModes(trackedit::Editor* trackEditor)
    : modes_{makeCameraMode(),
             makePoiMode(),
             makeRouteMode(),
             makeCompassMode(),
             makePointerMode(),
             makeTrailMode(),
             makeTrackEditorMode(trackEditor)}
{
}

void ViewModes::switchTo(MapView from, MapView to, ViewSwitch how, ViewSteps& steps)
{
    mode(from).leave(how, steps);
    mode(to).enter(how, steps);
}

Scene composeScene(const ViewMode& mode, const SceneInput& in)
{
    Scene scene;
    scene.items.reserve(512);
    scene.add(FillItem{{0, 0, in.windowWidth, in.windowHeight}, in.windowFill});
    // The views that follow the fix say over themselves what the receiver is up to.
    const bool notices = mode.takesFixes() && mode.fixedLayout();
    // Before the first sentence there is nothing to show but the fill.
    if (mode.takesFixes() && in.nothingReceived) {
        if (notices)
            addReceiverNotice(scene, in);
        return scene;
    }
    if (mode.showsTopLines())
        addTopLines(scene, in);
    mode.addToScene(scene, in);
    if (mode.showsStrip())
        addSentenceStrip(scene, in);
    if (notices)
        addReceiverNotice(scene, in);
    return scene;
}

} // namespace varno::views
