// Opening a file to read it: the one way every reader of the program does it.
#include "base/InputFile.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace varno {

namespace {

std::atomic<ReadOpener> g_opener{nullptr};

// Why path may not be read, or empty when it may (or when only fopen can tell).
std::string refusalFor(const std::string& path, std::uintmax_t maxBytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || st.type() == fs::file_type::directory)
        return {}; // a missing file: errno names it
    if (st.type() != fs::file_type::regular)
        return "not a regular file";
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > maxBytes)
        return "larger than " + inputSizeText(maxBytes);
    return {};
}

} // namespace

void setReadOpener(ReadOpener opener)
{
    g_opener.store(opener);
}

std::string inputSizeText(std::uintmax_t bytes)
{
    constexpr std::uintmax_t gib = std::uintmax_t{1} << 30;
    if (bytes >= gib && bytes % gib == 0)
        return std::to_string(bytes / gib) + " GiB";
    return std::to_string(bytes) + " bytes";
}

FileHandle openForReading(const std::string& path, std::string* refusal, std::uintmax_t maxBytes)
{
    if (refusal)
        refusal->clear();
    if (const ReadOpener opener = g_opener.load())
        return opener(path, refusal, maxBytes);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (refusal)
            *refusal = "a folder";
        errno = EISDIR; // what a failed check left there would name another fault
        return nullptr;
    }
    std::string why = refusalFor(path, maxBytes);
    FileHandle f;
    if (why.empty()) {
        f.reset(std::fopen(path.c_str(), "rb"));
        // The name may have been swapped for something else between the check
        // and the open; what it names now is what was opened, or near enough.
        if (f)
            why = refusalFor(path, maxBytes);
    }
    if (why.empty())
        return f;
    f.reset();
    if (refusal)
        *refusal = why;
    errno = EINVAL;
    return nullptr;
}

bool looksLikeUtf16(std::string_view head)
{
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF"))
        return true;
    if (head.size() < 4)
        return false;
    const auto zero = [&](std::size_t i) { return head[i] == '\0'; };
    return (zero(1) && zero(3) && !zero(0) && !zero(2)) || (zero(0) && zero(2) && !zero(1) && !zero(3));
}

FileHandle openTextForReading(const std::string& path, std::string* refusal)
{
    FileHandle f = openForReading(path, refusal);
    if (!f)
        return f;
    char head[4];
    const std::size_t got = std::fread(head, 1, sizeof head, f.get());
    if (!looksLikeUtf16(std::string_view(head, got))) {
        std::rewind(f.get());
        return f;
    }
    if (refusal)
        *refusal = "UTF-16 text, not ASCII";
    errno = EINVAL;
    return nullptr;
}

std::string nameWithRefusal(const std::string& path, const std::string& refusal)
{
    return refusal.empty() ? path : path + ": " + refusal;
}

} // namespace varno
