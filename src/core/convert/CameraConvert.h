// Published camera lists (PocketGPS and Garmin CSV, OV2 points of interest)
// turned into lines of the program's camera file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "convert/Convert.h"

namespace varno::convert {

enum class CameraList {
    PocketGps,    // ";" lines are comments, no header
    Garmin,       // the first line is a header
    PocketGpsNew, // header, direction prefixes dropped from names, several files into one
};

struct CameraOptions {
    CameraList list = CameraList::PocketGps;
    // PocketGpsNew: "GATSO 2 way@30" becomes "GATSO@30".
    bool shortNames = false;
};

// A source read as OV2: its name ends in ".ov2", letter case aside.
bool isOv2Name(std::string_view path);

// One CSV line (without its line end) as a camera-file line with its line
// end; empty when the line carries no coordinates.
std::string cameraLineFromCsv(std::string_view line, const CameraOptions& options);

Report convertCameraCsv(LineInput& in, Sink& out, const CameraOptions& options, Progress& progress);
Report convertOv2(std::string_view bytes, Sink& out, const CameraOptions& options, Progress& progress);

// The source read as OV2 or CSV by its name.
Report convertCameraFile(const FileJob& job, const CameraOptions& options, Progress& progress);
// Every source in turn into the one destination, which is only written when
// all of them convert.
Report convertCameraFiles(const std::vector<std::string>& sources, const std::string& destination,
                          bool append, const CameraOptions& options, Progress& progress);

} // namespace varno::convert
