// Writing a whole file so that a reader sees either the old text or the new, never half of one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "base/FileSync.h"

namespace varno {

// What became of a write. On failure the old file is as it was and no
// temporary file is left behind.
struct WriteOutcome {
    enum class Stage {
        None,    // written
        Create,  // the folder or the temporary file could not be made
        Write,   // writing, flushing or closing the temporary file failed
        Replace, // the new file could not take the old one's place
    };
    Stage failed = Stage::None;
    int error = 0;       // errno of the failing step; 0 when the system gave none
    std::string message; // the system's text for error, empty when written

    explicit operator bool() const { return failed == Stage::None; }
};

struct AtomicWriteOptions {
    // Pushes the temporary file to disk before it replaces the old one; null:
    // the stdio buffers are flushed, nothing more.
    FileSync* sync = nullptr;
    // Makes the missing folders of the path first.
    bool createFolders = false;
    // The old file's place and permissions carry over: a path that is a link
    // has its target replaced (the link stays), and the new file gets the old
    // one's permissions. Off for an old file that is being set aside.
    bool inheritOldFile = true;
    // Runs once the new text is safely in the temporary file, just before the
    // rename. A non-zero errno it returns abandons the write at Stage::Replace.
    std::function<int()> beforeReplace;
    // Picks the temporary file's eight hex digits; null: random.
    std::function<unsigned()> tempSuffix;
};

// Writes bytes to a new temporary file in the path's folder, flushes it, syncs
// it and renames it over path. The one way the program writes its files.
WriteOutcome writeFileAtomically(const std::string& path, std::string_view bytes,
                                 const AtomicWriteOptions& options = {});

// Removes the temporary files that killed writes of path left in its folder
// (ours only, and only once their process is gone), as every write does
// first. For writers that cannot go through the writers here (an SQLite
// database written under a temporary name of the same pattern).
void removeStaleTemporaries(const std::string& path);

// The same write in pieces, for output too large to hold: open() makes the
// temporary file, write() streams into it, commit() puts it in path's place.
// Destroyed or abandoned before commit(), it removes the temporary file and
// the old file stays as it was.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { abandon(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // With keepOldBytes, an existing file's bytes are copied in first, so
    // what is written is appended to them, and only on commit.
    WriteOutcome open(const std::string& path, const AtomicWriteOptions& options = {},
                      bool keepOldBytes = false);
    // False once any write has failed (the failure is reported by commit()).
    bool write(std::string_view bytes);
    // Takes back everything written since open() (the old bytes kept stay).
    bool restart();
    // Flushes, syncs and closes the temporary file without putting it in
    // place yet: files that belong together are all prepared before the
    // first is committed. On failure the temporary file is gone.
    WriteOutcome prepare();
    // Prepares (when not yet done) and puts the file in path's place.
    WriteOutcome commit();
    void abandon();
    // Open for writing, or prepared and waiting for commit().
    bool isOpen() const { return !temp_.empty(); }
    // Bytes written since open(), old bytes kept by keepOldBytes included.
    std::uintmax_t size() const { return size_; }

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    AtomicWriteOptions options_;
    int writeError_ = 0;
    bool writeFailed_ = false;
    std::uintmax_t size_ = 0;
    std::uintmax_t kept_ = 0;
};

} // namespace varno
