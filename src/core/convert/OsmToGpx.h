// OpenStreetMap ways (and tagged nodes) as GPX tracks, a background map for the track editor.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/Convert.h"
#include "osm/OsmReader.h"

namespace varno::convert {

// The exclusion boxes of the area extractor, in dialog order.
inline constexpr std::array<std::string_view, 16> kOsmExclusions = {
    "bollard",       "boundary",     "disused",         "emergency", "footway",  "landuse",
    "natural-water", "natural-wood", "parking",         "post_box",  "postcode", "power-tower",
    "recycling",     "type-sos",     "traffic_signals", "waterway"};
// Checked when the dialog opens, and after "Default" ("Default" also checks type-sos).
std::vector<std::string> osmExclusionsAtOpen();
std::vector<std::string> osmExclusionsDefault();

// An OSM object's tags as the converter and the track editor describe it:
// "key-value:" items in file order, created_by left out.
std::string osmTagText(std::span<const osm::Tag> tags);

struct OsmArea {
    double top = 91.0, left = -181.0, bottom = -91.0, right = 181.0;
    bool contains(double lat, double lon) const
    {
        return bottom <= lat && lat <= top && left <= lon && lon <= right;
    }
};

struct OsmGpxOptions {
    // The area extractor: only nodes inside the area, POIs and exclusions.
    bool big = false;
    OsmArea area;
    bool includePoi = false;
    std::vector<std::string> exclusions; // a track whose name contains one is left out
    // Names: two-byte UTF-8 letters of Latin-1 (U+00C0..U+00FF) written as
    // their Latin-1 byte, and the document declared ISO-8859-1.
    bool translateUnicode = false;
};

// Reads the OSM file at source in passes (nodes, ways, then tagged nodes) and
// writes the GPX document to out.
Report convertOsmToGpx(const std::string& source, Sink& out, const OsmGpxOptions& options,
                       Progress& progress);
Report convertOsmFile(const FileJob& job, const OsmGpxOptions& options, Progress& progress);

} // namespace varno::convert
