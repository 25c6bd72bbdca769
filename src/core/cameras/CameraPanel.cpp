// The six texts of the nearest-camera panel the camera view shows.
#include "cameras/CameraPanel.h"

#include "base/Text.h"
#include "cameras/CameraPoint.h"
#include "cameras/detail/WholeNumber.h"

namespace varno::cameras {
namespace {

// The nearest camera seldom changes from one fix to the next: its texts are
// mostly already there.
void setText(std::string& text, std::string_view value)
{
    if (text != value)
        text.assign(value);
}

} // namespace

void CameraPanelText::fill(const CameraPoint& nearest, double distanceM)
{
    // Runs on every fix: the texts are written into the strings' own storage.
    camera.clear();
    detail::appendWholeNumber(camera, distanceM);
    camera += "m ";
    camera += nearest.CamType;
    camera.resize(cutText(camera, kPanelCameraLine).size());
    setText(speedLimit, cutText(nearest.SpeedLimit, kPanelSpeedLimit));
    setText(road, cutText(nearest.Road, kPanelRoad));
    setText(town, cutText(nearest.Town, kPanelTown));
    setText(hazard, cutText(nearest.Hazard, kPanelHazard));
    setText(type, cutText(nearest.CamType, kPanelType));
}

void CameraPanelText::clearNoCameras()
{
    *this = CameraPanelText{};
    camera = "No cameras are in the map area";
}

void CameraPanelText::clearNoneAhead()
{
    if (camera == kNoCameraAheadLine)
        return;
    *this = CameraPanelText{};
    camera = kNoCameraAheadLine;
}

} // namespace varno::cameras
