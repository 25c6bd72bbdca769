// What the track editor draws from tag texts and loads from OSM and GPX data, and
// its SRTM height background.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "srtm/HgtTile.h"
#include "trackedit/EditorProjection.h"
#include "trackedit/TrackEntry.h"
#include "views/Scene.h"

namespace varno::trackedit {

// ---- loading OSM and GPX data as display-only entries ----

// Bytes read so far and the file's size (0 when unknown); returning false cancels.
using LoadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct LoadReport {
    std::optional<std::string> error; // what went wrong, naming the file
    std::string message;              // the completion message shown to the user
    bool cancelled = false;
    std::uint64_t linesRead = 0;
    std::uint64_t pointsLoaded = 0;
    explicit operator bool() const { return !error && !cancelled; }
};

// Appends one entry per track segment (GPX) or way (OSM) to out, points loaded,
// description set, no path. What was appended before a failure stays.
LoadReport loadJosmGpx(const std::string& path, std::vector<TrackEntry>& out,
                       const LoadProgress& progress = {});
LoadReport loadOsm(const std::string& path, std::vector<TrackEntry>& out, const LoadProgress& progress = {});
// The same over bytes in memory (the fuzz targets); name is used in messages,
// format as the OSM reader takes it ("osm", "pbf", "osm.bz2").
LoadReport loadJosmGpxBytes(std::string_view bytes, const std::string& name, std::vector<TrackEntry>& out);
LoadReport loadOsmBytes(std::string_view bytes, const std::string& format, std::vector<TrackEntry>& out);

// ---- drawing the entries by their tag texts ----

struct TrackDisplayFlags {
    bool roadNames = false;
    bool roadRef = false;
    bool icons = false;
    bool nodeNames = false;
};

// The loaded entries' polylines and labels in list order, then their icons, then
// their node names, clipped to what is on screen.
void drawTracks(views::Scene& scene, const EditorProjection& projection, std::span<const TrackEntry> entries,
                const TrackDisplayFlags& flags);

// The name a single node's entry ("Node:<id>:" and its tags) is labelled
// with; empty for other entries and for names from openGeoDB.
std::string nodeNameText(std::string_view description);

// ---- SRTM height background ----

struct SrtmLayer {
    srtm::HgtTile tile;
    double divisor = 1.5; // samples per pixel
    int firstColumn = 0;  // samples skipped on the left and at the top
    int firstRow = 0;
};

// Reads a .hgt tile for the background (3 or 1 arc-second); message says why
// not, naming the file.
std::optional<SrtmLayer> loadSrtmLayer(const std::string& path, std::string& message);

// The height background laid out from the window's top left corner.
void drawSrtm(views::Scene& scene, const SrtmLayer& layer, int width, int height);

} // namespace varno::trackedit
