// Opening a file to read it: the one way every reader of the program does it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace varno {

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// No file the user names is read if it is larger than this: a camera list or
// a record that size is a mistake, and reading it whole would exhaust memory.
inline constexpr std::uintmax_t kMaxInputFileBytes = std::uintmax_t{1} << 30;

// Opens path for reading, bytes as they are. Only a regular file of at most
// maxBytes is opened, and that is checked before the open: a folder opens on
// Linux and reads as empty, a FIFO blocks the open until a writer comes, and
// a device such as /dev/zero never ends. On failure errno says why: EISDIR for
// a folder, else what fopen set; a file refused for its kind or its size also
// gets the reason in words in *refusal ("a folder", "not a regular file",
// "larger than 1 GiB"), which is left empty otherwise.
FileHandle openForReading(const std::string& path, std::string* refusal = nullptr,
                          std::uintmax_t maxBytes = kMaxInputFileBytes);

// The same for a file of text lines (an NMEA log): a file in UTF-16 (with or
// without a byte order mark) is refused too ("UTF-16 text, not ASCII"), since
// every reader of lines would find nothing in it. The file is at its start.
FileHandle openTextForReading(const std::string& path, std::string* refusal = nullptr);

// Whether the first bytes of a file are those of UTF-16 text: a byte order
// mark, or two characters each with a zero byte (a log never holds those).
bool looksLikeUtf16(std::string_view head);

// "larger than 1 GiB": the cap in words, for refusals.
std::string inputSizeText(std::uintmax_t bytes);

// The platform's way to open without blocking (a FIFO with no writer must not
// hold us in open(), and a name swapped after a check must not fool it). Once
// set, openForReading hands every open to it; the portable way above stays for
// tests and platforms without one.
using ReadOpener = FileHandle (*)(const std::string& path, std::string* refusal, std::uintmax_t maxBytes);
void setReadOpener(ReadOpener opener);

// "path", or "path: reason" when the open was refused with one.
std::string nameWithRefusal(const std::string& path, const std::string& refusal);

} // namespace varno
