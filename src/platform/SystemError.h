// The system's text for an errno, in English whatever the locale.
#pragma once

#include <string>

namespace varno::platform {

// The system's own text for err ("Permission denied"), in English like the
// program's messages it completes; thread-safe.
std::string systemErrorText(int err);

} // namespace varno::platform
