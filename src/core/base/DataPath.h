// Where the program's files live, and how stored Windows-style paths are used.
#pragma once

#include <string>
#include <string_view>

namespace varno {

// Stored settings keep the program's own default texts ("C:\VARNO\Voice").
// When such a path is used, a leading "C:\VARNO" (any case) becomes the data
// root and every backslash becomes "/". This is the only place paths are
// rewritten.
std::string mapDataPath(std::string_view stored, std::string_view dataRoot);

} // namespace varno
