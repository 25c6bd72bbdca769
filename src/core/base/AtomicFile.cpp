// Writing a whole file so that a reader sees either the old text or the new, never half of one.
#include "base/AtomicFile.h"

#include <cerrno>
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
FileHandle createTemporary(const fs::path& target, fs::path& temp, int& error)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = fs::path(fmt::format("{}.tmp{:08x}", target.string(), static_cast<unsigned>(rd())));
        errno = 0;
        FileHandle f(std::fopen(temp.c_str(), "wbx"));
        error = errno;
        if (f || error != EEXIST)
            return f;
    }
    return nullptr;
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
    if (options.createFolders && target.has_parent_path() && !fs::exists(target.parent_path(), ec)) {
        fs::create_directories(target.parent_path(), ec);
        if (ec)
            return failure(WriteOutcome::Stage::Create, ec.value());
    }

    fs::path temp;
    int error = 0;
    FileHandle f = createTemporary(target, temp, error);
    if (!f)
        return failure(WriteOutcome::Stage::Create, error);

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
    auto abandon = [&](WriteOutcome::Stage stage, int e) {
        fs::remove(temp, ec);
        return failure(stage, e);
    };
    if (!ok || !closed)
        return abandon(WriteOutcome::Stage::Write, error);

    if (options.inheritOldFile) {
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(temp, old.permissions(), ec);
    }
    if (options.beforeReplace)
        if (const int e = options.beforeReplace())
            return abandon(WriteOutcome::Stage::Replace, e);
    fs::rename(temp, target, ec);
    if (ec)
        return abandon(WriteOutcome::Stage::Replace, ec.value());
    return {};
}

} // namespace varno
