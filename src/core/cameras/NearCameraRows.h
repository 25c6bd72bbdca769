// The rows of the "Camera List" dialog for the cameras now in memory.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cameras/CameraStore.h"

namespace varno::cameras {

// Column titles and widths (dialog pixels), in order.
struct NearCameraColumn {
    const char* title;
    int width;
};
inline constexpr std::array<NearCameraColumn, 9> kNearCameraColumns = {{{"Distance", 95},
                                                                        {"Latitude", 95},
                                                                        {"Longitude", 95},
                                                                        {"CamType", 100},
                                                                        {"Road", 100},
                                                                        {"Town", 100},
                                                                        {"Hazard", 100},
                                                                        {"Permanent", 100},
                                                                        {"SpeedLimit", 100}}};

using NearCameraRow = std::array<std::string, 9>;

// One row per listed camera, in list order: "%.3f km" (the dialog's own
// approximation, no cosine) or "empty" without positions, then the fields.
// The dialog holds the fix to the cameras' rule: a zero longitude is no
// position here either. Before any list was built, the single row "Camera
// list is empty".
std::vector<NearCameraRow> nearCameraRows(const CameraList& list, geo::LatLon fix);

} // namespace varno::cameras
