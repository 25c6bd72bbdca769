// Opening the files the user names: only regular files up to the cap, and never blocking.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "PosixInputFile.h"
#include "base/InputFile.h"
#include "core/base/ScratchFiles.h"

using namespace varno;
namespace fs = std::filesystem;

// Both ways of opening: the portable one and the one the program installs.
TEST(InputFile, OnlyRegularFilesUpToTheCapAreOpenedAndNothingElseBlocks)
{
    struct Reset {
        ~Reset() { setReadOpener(nullptr); }
    } reset;
    test::ScratchDir dir;
    const std::string fifo = dir.file("fifo"), big = dir.file("big"), full = dir.file("full");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Sparse: the sizes cost no disk.
    test::writeBytes(big, "x");
    fs::resize_file(big, kMaxInputFileBytes + 1);
    test::writeBytes(full, "x");
    fs::resize_file(full, kMaxInputFileBytes);
    const struct {
        std::string path;
        bool opens;
        std::string refusal;
        int error; // errno on failure
    } cases[] = {{full, true, "", 0},
                 {fifo, false, "not a regular file", EINVAL},
                 {"/dev/zero", false, "not a regular file", EINVAL},
                 {big, false, "larger than 1 GiB", EINVAL},
                 {dir.path().string(), false, "a folder", EISDIR},
                 {dir.file("missing"), false, "", ENOENT}};
    for (const ReadOpener opener : {ReadOpener{nullptr}, &platform::openForReadingNonBlocking})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.path + (opener ? " (non-blocking)" : " (portable)"));
            setReadOpener(opener);
            bool opened = false;
            int error = 0;
            std::string refusal = "stale";
            ASSERT_TRUE(test::finishesWithin(std::chrono::seconds(5), [&] {
                opened = openForReading(c.path, &refusal) != nullptr;
                error = errno;
            }));
            EXPECT_EQ(opened, c.opens);
            EXPECT_EQ(refusal, c.refusal);
            if (!c.opens) {
                EXPECT_EQ(error, c.error);
            }
        }
    EXPECT_EQ(nameWithRefusal("a", ""), "a");
    EXPECT_EQ(nameWithRefusal("a", "not a regular file"), "a: not a regular file");
}
