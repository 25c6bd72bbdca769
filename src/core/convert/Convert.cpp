// Sources and destinations of the converters.
#include "convert/Convert.h"

#include <filesystem>
#include <system_error>

#include "base/InputFile.h"

namespace varno::convert {
namespace {

namespace fs = std::filesystem;

std::string cantOpenSource(const std::string& path, const std::string& refusal)
{
    std::string why = refusal;
    if (why.empty() && errno != 0)
        why = std::error_code(errno, std::generic_category()).message();
    return "Error can't open source file\n" + (why.empty() ? path : path + ": " + why);
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return a != "-" && b != "-" && fs::equivalent(a, b, ec) && !ec;
}

bool sourceChecks(const FileJob& job, Report& failure)
{
    if (job.source.empty()) {
        failure = Report::failed("The source file name can not be empty");
        return false;
    }
    if (job.destination.empty()) {
        failure = Report::failed("The destination file name can not be empty");
        return false;
    }
    if (sameFile(job.source, job.destination)) {
        failure = Report::failed("The source and destination file names can not be the same.\n" + job.source);
        return false;
    }
    return true;
}

} // namespace

bool readSource(const std::string& path, std::string& bytes, std::string& message)
{
    bytes.clear();
    FileHandle owned;
    std::FILE* f = stdin;
    if (path != "-") {
        std::string refusal;
        errno = 0;
        owned = openForReading(path, &refusal);
        if (!owned) {
            message = cantOpenSource(path, refusal);
            return false;
        }
        f = owned.get();
    }
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
        if (bytes.size() > kMaxInputFileBytes) {
            message = cantOpenSource(path, "larger than 1 GiB");
            return false;
        }
    }
    if (std::ferror(f)) {
        message = cantOpenSource(path, "read error");
        return false;
    }
    return true;
}

bool openDestination(const FileJob& job, AtomicFileWriter& writer, Report& failure)
{
    if (job.destination == "-")
        return true;
    const WriteOutcome opened = writer.open(job.destination, {}, job.append);
    if (!opened) {
        failure =
            Report::failed("Error can't open destination file\n" + job.destination + ": " + opened.message);
        return false;
    }
    return true;
}

Report finishDestination(AtomicFileWriter& writer, const std::string& destination, Report report)
{
    if (!writer.isOpen()) {
        if (destination == "-" && std::fflush(stdout) != 0 && report.ok())
            return Report::failed(kWriteFailed);
        return report;
    }
    if (!report.ok()) {
        writer.abandon();
        return report;
    }
    const WriteOutcome done = writer.commit();
    if (!done) {
        Report failed = Report::failed(std::string(kWriteFailed) + "\n" + destination + ": " + done.message);
        failed.linesIn = report.linesIn;
        return failed;
    }
    return report;
}

Report runFileJob(const FileJob& job, const std::function<Report(LineInput&, Sink&)>& convert)
{
    Report failure;
    if (!sourceChecks(job, failure))
        return failure;
    FileHandle owned;
    std::FILE* in = stdin;
    std::uint64_t total = 0;
    if (job.source != "-") {
        std::string refusal;
        errno = 0;
        owned = openForReading(job.source, &refusal);
        if (!owned)
            return Report::failed(cantOpenSource(job.source, refusal));
        in = owned.get();
        std::error_code ec;
        total = fs::file_size(job.source, ec);
    }
    AtomicFileWriter writer;
    if (!openDestination(job, writer, failure))
        return failure;
    AtomicSink fileSink(writer);
    StdioSink outSink(stdout);
    Sink& sink = writer.isOpen() ? static_cast<Sink&>(fileSink) : outSink;
    LineInput input(in, total);
    Report report = convert(input, sink);
    if (report.ok() && std::ferror(in))
        report = Report::failed(cantOpenSource(job.source, "read error"));
    return finishDestination(writer, job.destination, std::move(report));
}

Report runBytesJob(const FileJob& job, const std::function<Report(std::string_view, Sink&)>& convert)
{
    Report failure;
    if (!sourceChecks(job, failure))
        return failure;
    std::string bytes, message;
    if (!readSource(job.source, bytes, message))
        return Report::failed(message);
    AtomicFileWriter writer;
    if (!openDestination(job, writer, failure))
        return failure;
    AtomicSink fileSink(writer);
    StdioSink outSink(stdout);
    Sink& sink = writer.isOpen() ? static_cast<Sink&>(fileSink) : outSink;
    return finishDestination(writer, job.destination, convert(bytes, sink));
}

} // namespace varno::convert
