// The base file and text utilities: the atomic writer, the line reader, the UTF-8 cut, the tick pacer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/Text.h"
#include "base/UiBridge.h"
#include "core/base/ScratchFiles.h"

using namespace varno;
namespace fs = std::filesystem;
using Stage = WriteOutcome::Stage;

namespace {

struct FailingSync final : FileSync {
    bool flushToDisk(std::FILE*) override { return false; }
};

std::vector<std::string> folderEntries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(AtomicFile, ReplacesTheFileKeepingItsPermissionsAndAnyLinkToIt)
{
    test::ScratchDir dir;
    const std::string path = dir.file("out.txt");
    test::writeBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(test::readBytes(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    fs::create_symlink(path, dir.file("link.txt"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.txt"), "through the link"));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(test::readBytes(path), "through the link");

    AtomicWriteOptions folders;
    folders.createFolders = true;
    ASSERT_TRUE(writeFileAtomically(dir.file("a/b/c.txt"), "deep", folders));
    EXPECT_EQ(test::readBytes(dir.file("a/b/c.txt")), "deep");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"a", "link.txt", "out.txt"}));
}

TEST(AtomicFile, AFailureLeavesTheOldFileAndNoTemporaryAndSaysWhy)
{
    FailingSync failing;
    struct Case {
        const char* what;
        std::string name; // under the scratch folder
        AtomicWriteOptions options;
        Stage stage;
        int error; // -1: any
    };
    AtomicWriteOptions syncFails, refused;
    syncFails.sync = &failing;
    refused.beforeReplace = [] { return EACCES; };
    const Case cases[] = {
        {"missing folder", "no/such/out.txt", {}, Stage::Create, ENOENT},
        {"failed sync", "out.txt", syncFails, Stage::Write, -1},
        {"refused before the rename", "out.txt", refused, Stage::Replace, EACCES},
        {"a folder in the way", "folder", {}, Stage::Replace, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir dir;
        test::writeBytes(dir.file("out.txt"), "old");
        fs::create_directory(dir.file("folder"));
        test::writeBytes(dir.file("folder/keep"), "x");
        const WriteOutcome out = writeFileAtomically(dir.file(c.name), "new", c.options);
        EXPECT_FALSE(out);
        EXPECT_EQ(out.failed, c.stage);
        if (c.error >= 0) {
            EXPECT_EQ(out.error, c.error);
        }
        EXPECT_FALSE(out.message.empty());
        EXPECT_EQ(test::readBytes(dir.file("out.txt")), "old");
        EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"folder", "out.txt"}));
    }
}

TEST(LineReader, FileAndMemoryCutTheSamePiecesAndStripTheirEnds)
{
    struct Case {
        std::string bytes;
        std::size_t limit;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"ab\r\ncd\n\nlast", 10, {"ab\r\n", "cd\n", "\n", "last"}},
        {"abcdefg\n", 4, {"abc", "def", "g\n"}}, // limit - 1 bytes at most
        {"abc\n", 4, {"abc", "\n"}},
        {"", 10, {}},
        {"abc", 1, {}}, // no room for a byte and the end
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        test::writeBytes(dir.file("in"), c.bytes);
        const FileHandle f = openForReading(dir.file("in"));
        ASSERT_TRUE(f);
        LineReader fromFile(f.get()), fromMemory(c.bytes);
        std::vector<std::string> a, b;
        std::string piece;
        while (fromFile.next(piece, c.limit))
            a.push_back(piece);
        while (fromMemory.next(piece, c.limit))
            b.push_back(piece);
        EXPECT_EQ(a, c.pieces);
        EXPECT_EQ(b, c.pieces);
    }
    EXPECT_EQ(stripLineEnd("ab\r\n\r\n"), "ab");
    EXPECT_EQ(stripLineEnd("ab\r\n\r\n", 2), "ab\r\n");
    EXPECT_EQ(stripLineEnd("\n\r"), "");
    EXPECT_EQ(stripLineEnd("a\rb"), "a\rb");
}

TEST(Text, CutNeverSplitsAUtf8Sequence)
{
    // "Zürich" has a two-byte ü at 1..2; "€" is three bytes, "😀" four.
    EXPECT_EQ(cutText("Zürich", 2), "Z");
    EXPECT_EQ(cutText("Zürich", 3), "Zü");
    EXPECT_EQ(cutText("a€", 3), "a");
    EXPECT_EQ(cutText("a😀b", 4), "a");
    EXPECT_EQ(cutText("a😀b", 5), "a😀");
    EXPECT_EQ(cutText("abc", 0), "");
    EXPECT_EQ(cutText("abc", 9), "abc");
    EXPECT_EQ(hexDigitValue('f') * 16 + hexDigitValue('A'), 250);
    EXPECT_EQ(hexDigitValue('g'), -1);
}

TEST(TickPacer, PacesAtTheDelayAndCountsTicksThatFellDueMeanwhile)
{
    UiBridge bridge;
    TickPacer pacer;
    pacer.start(std::chrono::milliseconds(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pacer.wait(bridge));
    bridge.cancel();
    pacer.start(std::chrono::hours(1));
    EXPECT_FALSE(pacer.wait(bridge)); // a cancelled bridge does not wait an hour

    // Ticks from elsewhere replace the clock.
    std::vector<std::chrono::milliseconds> ticks;
    TickPacer outside([&](std::chrono::milliseconds period) { ticks.push_back(period); });
    UiBridge live;
    outside.start(std::chrono::milliseconds(250));
    EXPECT_TRUE(outside.wait(live));
    EXPECT_EQ(ticks, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(250)});
}
