// Writing a whole file so that a reader sees either the old text or the new, never half of one.
#include "base/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include <fmt/format.h>

#include "base/InputFile.h"

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

// A new, exclusively created file beside target; a name that is taken is
// passed over, so two writers never share a temporary file.
FileHandle createTemporary(const fs::path& target, const std::function<unsigned()>& suffix, fs::path& temp,
                           int& error)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const unsigned digits = suffix ? suffix() : static_cast<unsigned>(rd());
        temp = fs::path(fmt::format("{}.tmp{:08x}", target.string(), digits & 0xffffffffu));
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

// Removes temporary files that a killed write of target left behind: regular
// files of exactly our name pattern that nobody has touched for a minute, so a
// write still under way beside us keeps its file.
void sweepStaleTemporaries(const fs::path& target)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = target.filename().string() + ".tmp";
    const auto cutoff = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0 ||
            !isHexDigits(std::string_view(name).substr(prefix.size())))
            continue;
        std::error_code fileEc;
        if (!fs::is_regular_file(it->symlink_status(fileEc)) || fileEc)
            continue;
        const auto written = fs::last_write_time(it->path(), fileEc);
        if (!fileEc && written < cutoff)
            fs::remove(it->path(), fileEc);
    }
}

} // namespace

WriteOutcome writeFileAtomically(const std::string& path, std::string_view bytes,
                                 const AtomicWriteOptions& options)
{
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
    auto abandon = [&](WriteOutcome::Stage stage, int e) {
        fs::remove(temp, ec);
        return failure(stage, e);
    };
    // The new text is never readable by more than the old: the temporary file
    // takes the old one's permissions before its first byte.
    if (options.inheritOldFile && fs::exists(current)) {
        fs::permissions(temp, current.permissions(), ec);
        if (ec) {
            f.reset();
            return abandon(WriteOutcome::Stage::Create, ec.value());
        }
    }

    StdioFileSync stdioSync;
    FileSync& sync = options.sync ? *options.sync : stdioSync;
    errno = 0;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    ok = sync.flushToDisk(f.get()) && ok;
    if (!ok)
        error = errno;
    const bool closed = std::fclose(f.release()) == 0;
    if (ok && !closed)
        error = errno;
    if (!ok || !closed)
        return abandon(WriteOutcome::Stage::Write, error);

    if (options.beforeReplace)
        if (const int e = options.beforeReplace())
            return abandon(WriteOutcome::Stage::Replace, e);
    fs::rename(temp, target, ec);
    if (ec)
        return abandon(WriteOutcome::Stage::Replace, ec.value());
    return {};
}

} // namespace varno
