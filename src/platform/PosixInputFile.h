// Opening files to read without blocking: installed once at start-up.
#pragma once

#include "base/InputFile.h"

namespace varno::platform {

// Opens with O_NONBLOCK and judges what was opened by its descriptor: only a
// regular file of at most maxBytes is handed back (then in blocking mode).
// Refusals and errno as openForReading describes them.
FileHandle openForReadingNonBlocking(const std::string& path, std::string* refusal, std::uintmax_t maxBytes);

// Makes every openForReading of the process go through the function above.
void installNonBlockingReadOpener();

} // namespace varno::platform
