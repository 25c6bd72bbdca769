// GPX tracks and routes into the program's text files (route CSV, track editor
// project), and the line breaker for GPX written on one line.
#pragma once

#include <string>

#include "convert/Convert.h"

namespace varno::convert {

// Every track point as a route line "lon,lat,P001,Trk001".
Report gpxTrackToRoute(const std::string& source, Sink& out, Progress& progress);
// Every waypoint and route point as a route line "lon,lat,name,".
Report gpxRouteToRoute(const std::string& source, Sink& out, Progress& progress);
// Runs one of the two above from job.source to job.destination (append kept).
Report gpxToRouteFile(const FileJob& job, bool routes, Progress& progress);

// The NMEA sentences a project track is made of, for a point at clock ms.
std::string josmSentences(std::uint64_t clockMs, double lat, double lon);

// A track editor project from a GPX file: "<base>.txt" listing one NMEA log
// "<base>-Track000001.txt" per track segment. destination is the base name,
// with or without ".txt". All files are written at the end, or none.
Report josmToProject(const std::string& source, const std::string& destination, Progress& progress);
// The map file name a destination gives.
std::string josmMapFile(const std::string& destination);

// Breaks a GPX text after each </trkpt> <trk> </name> <trkseg> </trkseg> </trk> </wpt> and />.
Report addNewLines(LineInput& in, Sink& out, Progress& progress);
Report addNewLinesFile(const FileJob& job, Progress& progress);

} // namespace varno::convert
