// Pushing a written file to stable storage: the core cannot reach fsync itself.
#pragma once

#include <cstdio>

namespace varno {

class FileSync {
public:
    virtual ~FileSync() = default;
    // Flushes the stdio buffers of f and asks the system to put the data on disk.
    virtual bool flushToDisk(std::FILE* f) = 0;
};

// Flushes stdio buffers only; enough where surviving a killed process is all
// that matters (tests, and platforms without a better call).
class StdioFileSync final : public FileSync {
public:
    bool flushToDisk(std::FILE* f) override { return std::fflush(f) == 0; }
};

} // namespace varno
