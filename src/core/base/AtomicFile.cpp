// Writing a whole file so that a reader sees either the old text or the new, never half of one.
#include "base/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <system_error>

#include <fmt/format.h>

#include "base/InputFile.h"
#include "base/LiveTemporaries.h"

namespace varno {
namespace {

namespace fs = std::filesystem;

WriteOutcome failure(WriteOutcome::Stage stage, int error)
{
    WriteOutcome out;
    out.failed = stage;
    out.error = error;
    out.message = error != 0 ? std::error_code(error, std::generic_category()).message()
                             : std::string("the file could not be written");
    return out;
}

constexpr std::string_view kTempMark = ".varno-";
constexpr std::string_view kTempEnd = ".tmp";

// A new, exclusively created file beside target, named
// "<target>.varno-<owner>-<8 hex digits>.tmp" so that a later write can tell
// ours from anyone else's and whether the process that made it is gone; a
// name that is taken is passed over, so two writers never share one.
FileHandle createTemporary(const fs::path& target, const std::function<unsigned()>& suffix, fs::path& temp,
                           int& error)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const unsigned digits = suffix ? suffix() : static_cast<unsigned>(rd());
        temp = fs::path(fmt::format("{}{}{}-{:08x}{}", target.string(), kTempMark, temporaryOwner().id,
                                    digits & 0xffffffffu, kTempEnd));
        errno = 0;
        FileHandle f(std::fopen(temp.c_str(), "wbx"));
        error = errno;
        if (f || error != EEXIST)
            return f;
    }
    return nullptr;
}

bool isHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The owner id in one of our temporary names ("....varno-<id>-<hex8>.tmp"),
// nullopt for any other name.
std::optional<unsigned long> temporaryOwnerOf(std::string_view name)
{
    if (!name.ends_with(kTempEnd))
        return std::nullopt;
    name.remove_suffix(kTempEnd.size());
    if (name.size() < 9 || name[name.size() - 9] != '-' || !isHexDigits(name.substr(name.size() - 8)))
        return std::nullopt;
    name.remove_suffix(9);
    const auto mark = name.rfind(kTempMark);
    if (mark == std::string_view::npos || mark == 0)
        return std::nullopt;
    const std::string_view digits = name.substr(mark + kTempMark.size());
    unsigned long id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return id;
}

// Whether a temporary file of ours was left by a write that will never end:
// its process is gone, or, where that cannot be told, nobody has touched it
// for an hour. Our own process's files are in use.
bool isStaleTemporary(unsigned long id, fs::file_time_type written)
{
    const TemporaryOwner self = temporaryOwner();
    if (id != 0 && self.alive)
        return id != self.id && !self.alive(id);
    return written < fs::file_time_type::clock::now() - std::chrono::hours(1);
}

// Removes temporary files that killed writes left in target's folder, ours
// only: our name pattern, whatever file it was for, and stale. Earlier
// versions named them "<target>.tmp<8 hex digits>"; those of target go once
// untouched for a minute.
void sweepStaleTemporaries(const fs::path& target)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string legacyPrefix = target.filename().string() + ".tmp";
    const auto legacyCutoff = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::optional<unsigned long> owner = temporaryOwnerOf(name);
        const bool legacy = name.size() == legacyPrefix.size() + 8 &&
                            name.compare(0, legacyPrefix.size(), legacyPrefix) == 0 &&
                            isHexDigits(std::string_view(name).substr(legacyPrefix.size()));
        if (!owner && !legacy)
            continue;
        std::error_code fileEc;
        if (!fs::is_regular_file(it->symlink_status(fileEc)) || fileEc)
            continue;
        const auto written = fs::last_write_time(it->path(), fileEc);
        if (fileEc)
            continue;
        if (owner ? isStaleTemporary(*owner, written) : written < legacyCutoff)
            fs::remove(it->path(), fileEc);
    }
}

} // namespace

void removeStaleTemporaries(const std::string& path)
{
    sweepStaleTemporaries(fs::path(path));
}

WriteOutcome writeFileAtomically(const std::string& path, std::string_view bytes,
                                 const AtomicWriteOptions& options)
{
    AtomicFileWriter writer;
    if (WriteOutcome opened = writer.open(path, options); !opened)
        return opened;
    writer.write(bytes);
    return writer.commit();
}

WriteOutcome AtomicFileWriter::open(const std::string& path, const AtomicWriteOptions& options,
                                    bool keepOldBytes)
{
    abandon();
    options_ = options;
    writeError_ = 0;
    writeFailed_ = false;
    size_ = 0;
    kept_ = 0;
    std::error_code ec;
    fs::path target(path);
    if (options.inheritOldFile && fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = std::move(resolved);
    }
    // Only a regular file is ever replaced: a device, a pipe or a socket in its
    // place is not ours to swap for a file, and a link loop leads nowhere.
    const fs::file_status current = fs::status(target, ec);
    if (ec && current.type() != fs::file_type::not_found)
        return failure(WriteOutcome::Stage::Create, ec.value());
    if (fs::exists(current) && !fs::is_regular_file(current)) {
        WriteOutcome out = failure(WriteOutcome::Stage::Create, fs::is_directory(current) ? EISDIR : EINVAL);
        out.message = "not a regular file: " + target.string();
        return out;
    }
    ec.clear();
    if (options.createFolders && target.has_parent_path() && !fs::exists(target.parent_path(), ec)) {
        fs::create_directories(target.parent_path(), ec);
        if (ec)
            return failure(WriteOutcome::Stage::Create, ec.value());
    }

    sweepStaleTemporaries(target);
    fs::path temp;
    int error = 0;
    FileHandle f = createTemporary(target, options.tempSuffix, temp, error);
    if (!f)
        return failure(WriteOutcome::Stage::Create, error);
    target_ = target.string();
    temp_ = temp.string();
    file_ = f.release();
    liveTemporaries::add(temp_);
    // The new text is never readable by more than the old: the temporary file
    // takes the old one's permissions before its first byte.
    if (options.inheritOldFile && fs::exists(current)) {
        fs::permissions(temp, current.permissions(), ec);
        if (ec) {
            abandon();
            return failure(WriteOutcome::Stage::Create, ec.value());
        }
    }
    if (keepOldBytes && fs::exists(current)) {
        FileHandle old = openForReading(target_, nullptr, std::numeric_limits<std::uintmax_t>::max());
        if (!old) {
            const int e = errno;
            abandon();
            return failure(WriteOutcome::Stage::Create, e);
        }
        char buffer[1 << 16];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, old.get())) > 0)
            write(std::string_view(buffer, n));
        if (std::ferror(old.get())) {
            const int e = errno;
            abandon();
            return failure(WriteOutcome::Stage::Create, e);
        }
    }
    kept_ = size_;
    return {};
}

bool AtomicFileWriter::restart()
{
    if (!file_ || writeFailed_ || std::fflush(file_) != 0)
        return false;
    std::error_code ec;
    fs::resize_file(temp_, kept_, ec);
    if (ec || std::fseek(file_, static_cast<long>(kept_), SEEK_SET) != 0)
        return false;
    size_ = kept_;
    return true;
}

bool AtomicFileWriter::write(std::string_view bytes)
{
    if (!file_ || writeFailed_)
        return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        writeFailed_ = true;
        writeError_ = errno;
        return false;
    }
    size_ += bytes.size();
    return true;
}

void AtomicFileWriter::abandon()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(temp_, ec);
        liveTemporaries::drop(temp_);
        temp_.clear();
    }
}

WriteOutcome AtomicFileWriter::commit()
{
    if (file_)
        if (WriteOutcome prepared = prepare(); !prepared)
            return prepared;
    if (temp_.empty())
        return failure(WriteOutcome::Stage::Create, 0);
    if (options_.beforeReplace)
        if (const int e = options_.beforeReplace()) {
            abandon();
            return failure(WriteOutcome::Stage::Replace, e);
        }
    std::error_code ec;
    fs::rename(temp_, target_, ec);
    if (ec) {
        abandon();
        return failure(WriteOutcome::Stage::Replace, ec.value());
    }
    liveTemporaries::drop(temp_);
    temp_.clear();
    return {};
}

WriteOutcome AtomicFileWriter::prepare()
{
    if (!file_)
        return failure(WriteOutcome::Stage::Create, 0);
    auto abandoned = [&](WriteOutcome::Stage stage, int e) {
        abandon();
        return failure(stage, e);
    };
    StdioFileSync stdioSync;
    FileSync& sync = options_.sync ? *options_.sync : stdioSync;
    int error = writeError_;
    errno = 0;
    bool ok = !writeFailed_;
    if (ok) {
        ok = sync.flushToDisk(file_);
        if (!ok)
            error = errno;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (ok && !closed)
        error = errno;
    if (!ok || !closed)
        return abandoned(WriteOutcome::Stage::Write, error);
    return {};
}

} // namespace varno
