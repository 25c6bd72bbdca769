// Contour lines of a height tile as GPX tracks: the program's own tracer and proper isolines.
#pragma once

#include "convert/Convert.h"
#include "srtm/HgtTile.h"

namespace varno::srtm {

struct TracerOptions {
    int eraseRange = 3;   // "Erase flat space height range."; below 1 skips the erasing
    int contourRange = 6; // "Contour height range."
    int step = 20;        // "Contour step."; below 1 is 20
};

// The extractor of the SRTM dialog: flat areas erased, then cells near each
// level followed neighbour by neighbour into tracks. Works on a copy of the
// tile. notes carries the first step's count.
Report traceContours(const HgtTile& tile, convert::Sink& out, const TracerOptions& options,
                     Progress& progress);

// Marching-squares isolines every step metres: one track per line per level,
// cells with a void sample left out, positions interpolated between samples.
Report isolines(const HgtTile& tile, convert::Sink& out, int step, Progress& progress);

} // namespace varno::srtm
