// The "Select Poi Files" dialog's reading and storing of the chosen POI files.
#pragma once

#include <string>
#include <vector>

#include "base/Prompt.h"
#include "settings/Settings.h"

namespace varno::poi {

inline constexpr std::string_view kNameTooLongToMove =
    "File name is longer than 299 characters\nthat's too long\ncan't copy.";

struct PoiSelection {
    std::vector<std::string> selected;  // as stored, POIFile1 to POIFileNameCount
    std::vector<std::string> available; // the POI folder's other entries
};

// What the dialog shows on opening: the stored selection, then every entry
// of the POI folder (sub-folders too) that is not selected already.
PoiSelection readPoiSelection(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot);

// Whether a name may move between the lists; shows why not.
bool canMovePoiName(const std::string& name, Prompt& prompt);

// OK: replaces the stored selection with the names of `selected` that exist
// in the POI folder, numbered by their place in the list (a missing file
// leaves a gap), and stores their count. Returns the count written.
unsigned storePoiSelection(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot,
                           const std::vector<std::string>& selected);

} // namespace varno::poi
