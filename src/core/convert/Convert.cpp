// Sources and destinations of the converters.
#include "convert/Convert.h"

#include <filesystem>
#include <system_error>

#include "base/InputFile.h"
#include "base/Utf8.h"

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

std::string fieldText(std::string_view text)
{
    std::string s = utf8OrLatin1(text);
    for (char& c : s)
        if (c == ',' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

bool CrLfSink::write(std::string_view bytes)
{
    buffer_.clear();
    buffer_.reserve(bytes.size() + bytes.size() / 16);
    for (const char c : bytes) {
        if (c == '\n' && !afterCr_)
            buffer_ += '\r';
        buffer_ += c;
        afterCr_ = c == '\r';
    }
    return out_.write(buffer_);
}

bool Destination::open(const FileJob& job, Report& failure)
{
    job_ = job;
    switch_.to = &outSink_;
    if (job.destination == "-")
        return true;
    const WriteOutcome opened = writer_.open(job.destination, {}, job.append);
    if (!opened) {
        failure = Report::failed(texts_.cantOpen + "\n" + job.destination + ": " + opened.message);
        return false;
    }
    switch_.to = &fileSink_;
    return true;
}

Report Destination::finish(Report report)
{
    if (report.ok() && job_.needsRecords && report.linesOut == 0) {
        const std::string kept =
            job_.destination == "-" ? std::string() : "\nThe destination file was left as it was.";
        Report empty = Report::failed("Nothing was converted: no record was read from the source file\n" +
                                      job_.source + kept);
        empty.linesIn = report.linesIn;
        report = std::move(empty);
    }
    if (!writer_.isOpen()) {
        if (job_.destination == "-" && std::fflush(stdout) != 0 && report.ok())
            return Report::failed(texts_.cantWrite);
        return report;
    }
    if (!report.ok()) {
        writer_.abandon();
        return report;
    }
    const WriteOutcome done = writer_.commit();
    if (!done) {
        Report failed = Report::failed(texts_.cantWrite + "\n" + job_.destination + ": " + done.message);
        failed.linesIn = report.linesIn;
        return failed;
    }
    return report;
}

Report runFileJob(const FileJob& job, const std::function<Report(LineInput&, Sink&)>& convert,
                  const Destination::Texts& texts)
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
    Destination out(texts);
    if (!out.open(job, failure))
        return failure;
    LineInput input(in, total);
    Report report = convert(input, out.sink());
    if (report.ok() && std::ferror(in))
        report = Report::failed(cantOpenSource(job.source, "read error"));
    return out.finish(std::move(report));
}

Report runBytesJob(const FileJob& job, const std::function<Report(std::string_view, Sink&)>& convert,
                   const Destination::Texts& texts)
{
    Report failure;
    if (!sourceChecks(job, failure))
        return failure;
    std::string bytes, message;
    if (!readSource(job.source, bytes, message))
        return Report::failed(message);
    Destination out(texts);
    if (!out.open(job, failure))
        return failure;
    return out.finish(convert(bytes, out.sink()));
}

Report runSinkJob(const FileJob& job, const std::function<Report(Sink&)>& convert,
                  const Destination::Texts& texts)
{
    Destination out(texts);
    Report failure;
    if (!out.open(job, failure))
        return failure;
    return out.finish(convert(out.sink()));
}

} // namespace varno::convert
