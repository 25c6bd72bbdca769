// The six texts of the nearest-camera panel the camera view shows.
#include "cameras/CameraPanel.h"

#include <fmt/printf.h>

#include "cameras/CameraPoint.h"

namespace varno::cameras {

void CameraPanelText::fill(const CameraPoint& nearest, double distanceM)
{
    camera = cutText(fmt::sprintf("%.0fm ", distanceM) + nearest.CamType, kPanelCameraLine);
    speedLimit = cutText(nearest.SpeedLimit, kPanelSpeedLimit);
    road = cutText(nearest.Road, kPanelRoad);
    town = cutText(nearest.Town, kPanelTown);
    hazard = cutText(nearest.Hazard, kPanelHazard);
    type = cutText(nearest.CamType, kPanelType);
}

void CameraPanelText::clearNoCameras()
{
    *this = CameraPanelText{};
    camera = "No cameras are in the map area";
}

} // namespace varno::cameras
