// What every converter shares: where its text comes from, where it goes, how
// far it has got, and what it has to say at the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "base/AtomicFile.h"
#include "base/LineInput.h"
#include "base/Progress.h"
#include "base/Report.h"

namespace varno::convert {

// Where a converter writes. A false write ends the conversion as failed.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool write(std::string_view bytes) = 0;
    // Whether restart() can take back everything written so far.
    virtual bool canRestart() const { return false; }
    virtual bool restart() { return false; }
};

class StringSink final : public Sink {
public:
    bool write(std::string_view bytes) override
    {
        text.append(bytes);
        return true;
    }
    bool canRestart() const override { return true; }
    bool restart() override
    {
        text.clear();
        return true;
    }
    std::string text;
};

// An open stream such as stdout: written as it goes, nothing to take back.
class StdioSink final : public Sink {
public:
    explicit StdioSink(std::FILE* f) : file_(f) {}
    bool write(std::string_view bytes) override
    {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }

private:
    std::FILE* file_;
};

// A file that appears only when the conversion succeeds.
class AtomicSink final : public Sink {
public:
    explicit AtomicSink(AtomicFileWriter& writer) : writer_(writer) {}
    bool write(std::string_view bytes) override { return writer_.write(bytes); }
    bool canRestart() const override { return true; }
    bool restart() override { return writer_.restart(); }

private:
    AtomicFileWriter& writer_;
};

// Opening a source and a destination for a converter that reads a file:
// refuses what cannot be read (naming it), a destination that is a folder or
// the source itself, and writes the destination so that a failed or cancelled
// conversion leaves the old file (or none) behind. With append, the new lines
// follow the old file's, again only on success.
struct FileJob {
    std::string source;
    std::string destination;
    bool append = false;
};

// Reads the whole source ("-": standard input) into bytes; false with the
// message set when it cannot be read.
bool readSource(const std::string& path, std::string& bytes, std::string& message);

// Runs convert from source to destination as described above. "-" as the
// destination writes to standard output.
Report runFileJob(const FileJob& job, const std::function<Report(LineInput&, Sink&)>& convert);
// The same for a converter that takes the whole source as bytes.
Report runBytesJob(const FileJob& job, const std::function<Report(std::string_view, Sink&)>& convert);

// Opens the destination of job; on failure returns the report to show.
// Exposed for converters with several sources.
bool openDestination(const FileJob& job, AtomicFileWriter& writer, Report& failure);
// Commits writer after report: a failed or cancelled report abandons the file.
Report finishDestination(AtomicFileWriter& writer, const std::string& destination, Report report);

} // namespace varno::convert
