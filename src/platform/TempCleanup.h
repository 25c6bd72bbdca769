// Temporary files of this process: stamped with its id, and removed when
// SIGINT or SIGTERM ends it in the middle of a write.
#pragma once

namespace varno::platform {

// Names our temporary files after this process (so a later write can tell
// whether their writer is gone) and installs SIGINT and SIGTERM handlers that
// remove the live ones, then end the process as the signal would have.
void installTemporaryCleanup();

} // namespace varno::platform
