// What a first start sets up beyond the settings: the data folders the settings name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace varno::session {

// The data root and the folders the settings name below it (Log, Route,
// Voice, POI, Images), as used on this machine, without repeats.
std::vector<std::string> dataFolders(settings::Settings& settings, std::string_view dataRoot);

// Makes every folder that is missing (with its parents). Returns "folder:
// reason" for each that could not be made; empty when all are there.
std::vector<std::string> makeFolders(const std::vector<std::string>& folders);

} // namespace varno::session
