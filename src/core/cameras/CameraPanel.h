// The six texts of the nearest-camera panel the camera view shows.
#pragma once

#include <string>

namespace varno::cameras {

struct CameraPoint;

inline constexpr const char* kNoCameraAheadLine = "No cameras ahead";

// Line capacities, in characters.
inline constexpr std::size_t kPanelCameraLine = 40;
inline constexpr std::size_t kPanelSpeedLimit = 25;
inline constexpr std::size_t kPanelRoad = 25;
inline constexpr std::size_t kPanelTown = 25;
inline constexpr std::size_t kPanelHazard = 57;
inline constexpr std::size_t kPanelType = 25;

struct CameraPanelText {
    std::string camera; // "%.0fm " and CamType, or "No cameras are in the map area"
    std::string speedLimit;
    std::string road;
    std::string town;
    std::string hazard;
    std::string type;

    // The texts for the nearest camera at distanceM, each cut to its capacity.
    void fill(const CameraPoint& nearest, double distanceM);
    // The texts when no camera is within range.
    void clearNoCameras();
    // The texts when cameras are listed but none is ahead (the direction aid).
    void clearNoneAhead();

    friend bool operator==(const CameraPanelText&, const CameraPanelText&) = default;
};

} // namespace varno::cameras
