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
// follow the old file's, again only on success. With needsRecords, a
// conversion that wrote nothing has failed: the old file stays.
struct FileJob {
    std::string source;
    std::string destination;
    bool append = false;
    bool needsRecords = false;
};

// Reads the whole source ("-": standard input) into bytes; false with the
// message set when it cannot be read.
bool readSource(const std::string& path, std::string& bytes, std::string& message);

// A field of a comma-separated line the program writes (camera file, route
// file): UTF-8, the encoding their readers show, with any byte that is not
// valid UTF-8 taken as Latin-1; a comma or line end inside it, which would
// shift the fields after it, becomes a blank.
std::string fieldText(std::string_view text);

// Line ends as a file opened for text writing gives them on disk: each line
// feed not already after a carriage return becomes a carriage return and
// line feed pair.
class CrLfSink final : public Sink {
public:
    explicit CrLfSink(Sink& out) : out_(out) {}
    bool write(std::string_view bytes) override;
    bool canRestart() const override { return out_.canRestart(); }
    bool restart() override
    {
        afterCr_ = false;
        return out_.restart();
    }

private:
    Sink& out_;
    std::string buffer_;
    bool afterCr_ = false;
};

// The destination of a job and the sink that writes it: a file that takes
// the old one's place only when the conversion succeeds, or standard output
// for "-". Either way lines end in CR LF.
class Destination {
public:
    struct Texts {
        // Shown first when the destination cannot be opened or written.
        std::string cantOpen = "Error can't open destination file";
        std::string cantWrite = kWriteFailed;
    };
    Destination() = default;
    explicit Destination(Texts texts) : texts_(std::move(texts)) {}

    // False with failure set when the destination cannot be opened.
    bool open(const FileJob& job, Report& failure);
    Sink& sink() { return crlf_; }
    // Commits the file after a report that is ok, abandons it otherwise;
    // returns the report to show.
    Report finish(Report report);
    const Texts& texts() const { return texts_; }

private:
    Texts texts_;
    FileJob job_;
    AtomicFileWriter writer_;
    AtomicSink fileSink_{writer_};
    StdioSink outSink_{stdout};
    struct Switch final : Sink {
        Sink* to = nullptr;
        bool write(std::string_view bytes) override { return to->write(bytes); }
        bool canRestart() const override { return to->canRestart(); }
        bool restart() override { return to->restart(); }
    } switch_;
    CrLfSink crlf_{switch_};
};

// Runs convert from source to destination as described above. "-" as the
// destination writes to standard output.
Report runFileJob(const FileJob& job, const std::function<Report(LineInput&, Sink&)>& convert,
                  const Destination::Texts& texts = {});
// The same for a converter that takes the whole source as bytes.
Report runBytesJob(const FileJob& job, const std::function<Report(std::string_view, Sink&)>& convert,
                   const Destination::Texts& texts = {});
// The same for a converter that opens its source itself (or has none).
Report runSinkJob(const FileJob& job, const std::function<Report(Sink&)>& convert,
                  const Destination::Texts& texts = {});

} // namespace varno::convert
