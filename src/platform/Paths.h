// Where settings and data live on this machine.
#pragma once

#include <string>

namespace varno::platform {

// $VARNO_SETTINGS, else $XDG_CONFIG_HOME/varno/settings.reg, else ~/.config/varno/settings.reg.
std::string defaultSettingsPath();

// $VARNO_HOME, else ~/VARNO. Stored "C:\VARNO\..." paths are mapped onto it.
std::string dataRoot();

// A stored path as it is used on this machine (see mapDataPath).
std::string usePath(const std::string& stored);

} // namespace varno::platform
