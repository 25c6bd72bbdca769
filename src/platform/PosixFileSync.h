// fsync-backed FileSync for the settings file and other durable writes.
#pragma once

#include "base/FileSync.h"

namespace varno::platform {

class PosixFileSync final : public FileSync {
public:
    bool flushToDisk(std::FILE* f) override;
};

} // namespace varno::platform
