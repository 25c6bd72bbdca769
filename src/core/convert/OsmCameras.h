// Speed cameras of OpenStreetMap (highway=speed_camera nodes) into a camera file.
#pragma once

#include <string>

#include "convert/Convert.h"

namespace varno::convert {

// Reads the OSM file at source twice (cameras, places and relations; then
// the roads near the cameras; in between, when needed, the nodes relations
// name) and writes one camera-file line per highway=speed_camera node with a
// position:
//   lat,lon,Road,Town,Hazard,CamType,Permanent,SpeedLimit
// Road is the ref (else the name) of the nearest road with one within 200 m,
// Town the name of the nearest place (city, town, village, hamlet, suburb)
// within 10 km; CamType is "SPECS" for an average-speed camera
// (speed_camera=average_speed or enforcement=average_speed) and "Camera"
// otherwise; Hazard gives the direction of travel the camera watches when it has one
// ("Direction 270", see cameras::cameraDirection); SpeedLimit
// is the number of its maxspeed. Commas in names become spaces. Cameras
// without a position are counted and left out.
// type=enforcement relations add to these: with enforcement=maxspeed each
// device node is a camera (a camera node without a maxspeed takes the
// relation's); with enforcement=average_speed its from and to nodes are a
// SPECS pair. A node gives one line however many relations name it; members
// the file does not place are counted and left out.
Report convertOsmCameras(const std::string& source, Sink& out, Progress& progress);
Report convertOsmCamerasFile(const FileJob& job, Progress& progress);

} // namespace varno::convert
