// The cameras a logged drive passed: closest approach and the speed there.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cameras/CameraFile.h"
#include "base/LineInput.h"
#include "base/Progress.h"
#include "base/Report.h"

namespace varno::cameras {

// One row: every camera with the same CamType text shares it.
struct PassedCamera {
    std::string name;            // CamType
    double closestM = 1000000.0; // closest distance reached
    double speed = 0.0;          // in the display unit, at a closest approach under 200 m
};

struct PassedOptions {
    double nearestM = 0.0;
    double farthestM = 4000.0;
    int speedUnits = 0; // SpeedUnits: 0 mph, 1 km/h, 2 knots
};

struct PassedList {
    std::vector<PassedCamera> entries; // in the order first met
    double nearestM = 0.0;
    int speedUnits = 0;

    // The entries that are shown: closest distance at least nearestM and reached.
    std::vector<const PassedCamera*> shown() const;
    // The list rows: "%.3f km", the name, the row number from 1, the speed
    // ("" below 1), after the summary row "List contains %d items".
    std::vector<std::vector<std::string>> rows() const;
    // The text copied to the clipboard, one ":"-led line per shown entry.
    std::string clipboardText(bool withDistances) const;
};

// Messages of the checks before a run.
inline constexpr char kNearestAboveFarthest[] = "The nearest distance must be less than the farthest.";
inline constexpr char kLargeFarthestQuestion[] =
    "You have selected a large farthest distance.\n\nWith large values it can take a\nlong time to create "
    "the "
    "list of passed cameras.\n\nDo you wan't to continue with this operation ?";
inline constexpr double kLargeFarthestM = 50000.0;

// The camera file of a run: path is the CameraFile setting as used (nullopt
// when none is stored). On failure message is what the camera store says for
// the same fault, naming the file.
std::optional<CameraFile> passedCameraFile(const std::optional<std::string>& path, std::string& message);

// Reads the log: RMC sentences set the speed, each GGA sentence with a
// position moves the position and checks the cameras of the file within the
// farthest distance; the cameras around the position are selected again on
// the first GGA with a position and after every further 100. Every talker the
// decoder reads counts ($GPGGA, $GNGGA, ...), and a sentence whose checksum is
// wrong, or whose position no place on Earth has, is passed over, as the live
// intake passes it over.
varno::Report passedCameras(varno::LineInput& log, const CameraFile& cameras,
                              const PassedOptions& options, PassedList& list, varno::Progress& progress);

} // namespace varno::cameras
