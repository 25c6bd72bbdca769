// The base utilities: the atomic writer, the line reader, the UTF-8 cut, numbers, stored paths, the tick
// pacer.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <vector>

#include "base/AtomicFile.h"
#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "base/LiveTemporaries.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/UiBridge.h"
#include "core/base/ScratchFiles.h"

using namespace varno;
namespace fs = std::filesystem;
using Stage = WriteOutcome::Stage;
using Names = std::vector<std::string>;

namespace {
Names folderEntries(const fs::path& dir)
{
    Names names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(AtomicFile, ReplacesTheFileKeepingItsPermissionsAndLinksOrFailingLeavesItAndSaysWhy)
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
    EXPECT_EQ(folderEntries(dir.path()), (Names{"a", "link.txt", "out.txt"}));

    // A failure leaves the old file and no temporary, and says why.
    test::FailingSync failing;
    AtomicWriteOptions syncFails, refused;
    syncFails.sync = &failing;
    refused.beforeReplace = [] { return EACCES; };
    const struct {
        const char* what;
        std::string name; // under the scratch folder
        AtomicWriteOptions options;
        Stage stage;
        int error; // -1: any
    } cases[] = {{"missing folder", "no/such/out.txt", {}, Stage::Create, ENOENT},
                 {"failed sync", "out.txt", syncFails, Stage::Write, -1},
                 {"refused before the rename", "out.txt", refused, Stage::Replace, EACCES},
                 {"a folder in the way", "folder", {}, Stage::Create, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir scratch;
        test::writeBytes(scratch.file("out.txt"), "old");
        fs::create_directory(scratch.file("folder"));
        test::writeBytes(scratch.file("folder/keep"), "x");
        const WriteOutcome out = writeFileAtomically(scratch.file(c.name), "new", c.options);
        EXPECT_FALSE(out);
        EXPECT_EQ(out.failed, c.stage);
        EXPECT_TRUE(c.error < 0 || out.error == c.error) << out.error;
        EXPECT_FALSE(out.message.empty());
        EXPECT_EQ(test::readBytes(scratch.file("out.txt")), "old");
        EXPECT_EQ(folderEntries(scratch.path()), (Names{"folder", "out.txt"}));
    }
}

TEST(AtomicFile, RefusesNodesAndLinkLoopsAndLeavesThemAsTheyAre)
{
    test::ScratchDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.file("fifo"), dir.file("to-fifo"));
    fs::create_symlink(dir.file("loop-b"), dir.file("loop-a"));
    fs::create_symlink(dir.file("loop-a"), dir.file("loop-b"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = dir.file("sock");
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const Names before = folderEntries(dir.path());
    for (const char* name : {"fifo", "to-fifo", "loop-a", "sock"}) {
        for (bool inherit : {true, false}) {
            SCOPED_TRACE(std::string(name) + (inherit ? " inherited" : " set aside"));
            AtomicWriteOptions options;
            options.inheritOldFile = inherit;
            const WriteOutcome out = writeFileAtomically(dir.file(name), "new", options);
            EXPECT_FALSE(out);
            EXPECT_EQ(out.failed, Stage::Create);
            EXPECT_NE(out.error, 0);
            EXPECT_FALSE(out.message.empty());
        }
    }
    ::close(sock);
    EXPECT_EQ(folderEntries(dir.path()), before);
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    EXPECT_TRUE(fs::is_symlink(dir.file("to-fifo")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop-a")));
    EXPECT_TRUE(fs::is_socket(dir.file("sock")));
}

TEST(AtomicFile, TemporaryIsExclusiveNeverLooserThanTheTargetAndStaleOnesAreSwept)
{
    test::ScratchDir dir;
    const std::string path = dir.file("s.reg");
    test::writeBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    test::writeBytes(dir.file("victim"), "victim");

    // A link planted at the next temporary name is passed over, not followed.
    unsigned next = 0;
    AtomicWriteOptions options;
    options.tempSuffix = [&] { return next++; };
    fs::create_symlink(dir.file("victim"), path + ".varno-0-00000000.tmp");
    // What the temporary file allowed while its bytes went in.
    struct PermsAtFlush final : FileSync {
        std::string temp;
        fs::perms seen = fs::perms::unknown;
        bool flushToDisk(std::FILE* f) override
        {
            seen = fs::status(temp).permissions();
            return std::fflush(f) == 0;
        }
    } sync;
    sync.temp = path + ".varno-0-00000001.tmp";
    options.sync = &sync;
    const mode_t umaskWas = ::umask(0); // the temporary would be made world-writable
    const bool written = static_cast<bool>(writeFileAtomically(path, "new", options));
    ::umask(umaskWas);
    ASSERT_TRUE(written);
    EXPECT_EQ(test::readBytes(path), "new");
    EXPECT_EQ(test::readBytes(dir.file("victim")), "victim");
    EXPECT_TRUE(fs::is_symlink(path + ".varno-0-00000000.tmp"));
    EXPECT_EQ(sync.seen, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    // Leftovers of killed writes go at the next write once a minute old;
    // young ones, other files and names not quite ours stay.
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const char* name : {"s.reg.tmp0badf00d", "s.reg.tmp1234abcd", "s.reg.tmp123", "other.tmp0badf00d",
                             "s.reg.tmp0badf00d.keep", "s.reg.tmp0BADF00D"}) {
        test::writeBytes(dir.file(name), "x");
        fs::last_write_time(dir.file(name), old);
    }
    test::writeBytes(dir.file("s.reg.tmpfeedbeef"), "young");
    ASSERT_TRUE(writeFileAtomically(path, "newer"));
    EXPECT_EQ(folderEntries(dir.path()),
              (Names{"other.tmp0badf00d", "s.reg", "s.reg.tmp0BADF00D", "s.reg.tmp0badf00d.keep",
                     "s.reg.tmp123", "s.reg.tmpfeedbeef", "s.reg.varno-0-00000000.tmp", "victim"}));
}

TEST(AtomicFile, TemporariesOfGoneWritersAreSweptWhateverTheirFileAndLiveOnesAreKnown)
{
    test::ScratchDir dir;
    // Process 7 is us, 8 still runs, 9 is gone.
    setTemporaryOwner({7, [](unsigned long id) { return id == 7 || id == 8; }});
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const char* name : {"a.gpx.varno-9-0badf00d.tmp", "b.txt.varno-8-0badf00d.tmp",
                             "c.txt.varno-7-0badf00d.tmp", "d.txt.varno-9-0badf00d.tmp.keep",
                             "e.txt.varno-x9-0badf00d.tmp", "f.txt.varno-9-0badf00.tmp", "g.txt.tmp"}) {
        test::writeBytes(dir.file(name), "x");
        fs::last_write_time(dir.file(name), old);
    }
    // Without a way to ask about processes, only age tells: a young one stays.
    test::writeBytes(dir.file("h.txt.varno-0-0badf00d.tmp"), "young");
    test::writeBytes(dir.file("i.txt.varno-0-0badf00d.tmp"), "old");
    fs::last_write_time(dir.file("i.txt.varno-0-0badf00d.tmp"), old);

    std::vector<std::string> removed;
    static std::vector<std::string>* seen = nullptr;
    seen = &removed;
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(dir.file("new.txt")));
    // The file being written is the one a signal would take away.
    liveTemporaries::removeAll([](const char* p) {
        seen->push_back(p);
        return 0;
    });
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(fs::path(removed[0]).parent_path(), dir.path());
    EXPECT_NE(removed[0].find("new.txt.varno-7-"), std::string::npos) << removed[0];
    ASSERT_TRUE(writer.commit());
    removed.clear();
    liveTemporaries::removeAll([](const char* p) {
        seen->push_back(p);
        return 0;
    });
    EXPECT_TRUE(removed.empty());
    setTemporaryOwner({});
    EXPECT_EQ(folderEntries(dir.path()),
              (Names{"b.txt.varno-8-0badf00d.tmp", "c.txt.varno-7-0badf00d.tmp",
                     "d.txt.varno-9-0badf00d.tmp.keep", "e.txt.varno-x9-0badf00d.tmp",
                     "f.txt.varno-9-0badf00.tmp", "g.txt.tmp", "h.txt.varno-0-0badf00d.tmp", "new.txt"}));
}

TEST(LineReader, FileAndMemoryCutTheSamePiecesAndStripTheirEnds)
{
    const struct {
        std::string bytes;
        std::size_t limit;
        Names pieces;
    } cases[] = {{"ab\r\ncd\n\nlast", 10, {"ab\r\n", "cd\n", "\n", "last"}},
                 {"abcdefg\n", 4, {"abc", "def", "g\n"}}, // limit - 1 bytes at most
                 {"abc\n", 4, {"abc", "\n"}},
                 {"", 10, {}},
                 {"abc", 1, {}}}; // no room for a byte and the end
    test::ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        test::writeBytes(dir.file("in"), c.bytes);
        const FileHandle f = openForReading(dir.file("in"));
        ASSERT_TRUE(f);
        LineReader fromFile(f.get()), fromMemory(c.bytes);
        for (LineReader* reader : {&fromFile, &fromMemory}) {
            Names got;
            for (std::string piece; reader->next(piece, c.limit);)
                got.push_back(piece);
            EXPECT_EQ(got, c.pieces);
        }
    }
    EXPECT_EQ(stripLineEnd("ab\r\n\r\n"), "ab");
    EXPECT_EQ(stripLineEnd("ab\r\n\r\n", 2), "ab\r\n");
    EXPECT_EQ(stripLineEnd("\n\r"), "");
    EXPECT_EQ(stripLineEnd("a\rb"), "a\rb");
}

TEST(Text, CutsWholeUtf8SequencesReadsNumbersInTheCLocaleAndMapsTheDataRoot)
{
    // "Zürich" has a two-byte ü at 1..2; "€" is three bytes, "😀" four.
    const std::tuple<const char*, std::size_t, const char*> cuts[] = {
        {"Zürich", 2, "Z"}, {"Zürich", 3, "Zü"}, {"a€", 3, "a"},    {"a😀b", 4, "a"},
        {"a😀b", 5, "a😀"},   {"abc", 0, ""},      {"abc", 9, "abc"},
    };
    for (const auto& [text, bytes, cut] : cuts)
        EXPECT_EQ(cutText(text, bytes), cut) << text << " " << bytes;

    // Numbers read like atoi and atof in the C locale.
    EXPECT_EQ(leadingInt("99999999999"), 2147483647);
    EXPECT_DOUBLE_EQ(leadingDouble("51.5"), 51.5); // never "51,5", whatever the locale
    EXPECT_DOUBLE_EQ(leadingDouble(" 226.6,170606"), 226.6);
    EXPECT_DOUBLE_EQ(leadingDouble("-"), 0.0);
    EXPECT_TRUE(std::isinf(leadingDouble("1e999")));
    EXPECT_DOUBLE_EQ(leadingDouble("1e-999"), 0.0);
    EXPECT_TRUE(std::isnan(leadingDouble("nan")));
    EXPECT_EQ(hexDigitValue('f') * 16 + hexDigitValue('A'), 250);
    EXPECT_EQ(hexDigitValue('g'), -1);

    // Stored paths map the default root only at their start.
    const std::tuple<const char*, const char*, const char*> paths[] = {
        {"c:\\varno\\Log\\a.txt", "/d/", "/d/Log/a.txt"},
        {"C:\\VARNO", "/d", "/d"},
        {"C:\\VARNOX\\a", "/d", "C:/VARNOX/a"},
        {"/abs/path.txt", "/d", "/abs/path.txt"},
        {"D:\\Other\\C:\\VARNO", "/d", "D:/Other/C:/VARNO"}};
    for (const auto& [stored, root, mapped] : paths)
        EXPECT_EQ(mapDataPath(stored, root), mapped) << stored;
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

// LF, CR LF and CR end lines alike, file or memory; a CR LF is never split
// between pieces, even at the limit; nextLine drops and counts the rest of a
// longer line.
TEST(LineReader, TakesTheThreeLineEndsAlikeAndNextLineDropsTheRest)
{
    const struct {
        std::string bytes;
        std::size_t limit;
        Names pieces, lines;
        std::uint64_t overlong;
    } cases[] = {
        {"a\rb\r\nc\n\rd", 10, {"a\r", "b\r\n", "c\n", "\r", "d"}, {"a\r", "b\r\n", "c\n", "\r", "d"}, 0},
        {"abc\r\nd", 4, {"abc", "\r\n", "d"}, {"abc", "d"}, 0}, // only the line end left over
        {"ab\r\nd", 4, {"ab\r\n", "d"}, {"ab\r\n", "d"}, 0},    // the LF comes with its CR
        {"abcdef\rgh\n", 4, {"abc", "def", "\r", "gh\n"}, {"abc", "gh\n"}, 1},
        {"abcdefg", 4, {"abc", "def", "g"}, {"abc"}, 1},
    };
    for (const auto& c : cases) {
        test::ScratchDir dir;
        test::writeBytes(dir.file("in"), c.bytes);
        for (const bool whole : {false, true}) {
            const FileHandle f = openForReading(dir.file("in"));
            ASSERT_TRUE(f);
            LineReader fromFile(f.get()), fromMemory(c.bytes);
            for (LineReader* reader : {&fromFile, &fromMemory}) {
                Names got;
                for (std::string piece;
                     whole ? reader->nextLine(piece, c.limit) : reader->next(piece, c.limit);)
                    got.push_back(piece);
                EXPECT_EQ(got, whole ? c.lines : c.pieces) << c.bytes;
                EXPECT_EQ(reader->overlongLines(), whole ? c.overlong : 0u) << c.bytes;
                EXPECT_EQ(reader->consumed(), c.bytes.size()) << c.bytes;
            }
        }
        const LineSpan span = lineSpan(c.bytes, c.limit);
        EXPECT_EQ(span.kept, c.lines[0].size()) << c.bytes;
    }
    char last = '\n';
    EXPECT_EQ(countLineEnds("a\rb\r\nc\n\n", last), 4u);
    EXPECT_EQ(endsOpenLine(last), 0u);
    EXPECT_EQ(countLineEnds("\nd", last), 1u); // the LF of a CR LF cut between chunks
    last = '\r';
    EXPECT_EQ(countLineEnds("\nd", last), 0u);
    EXPECT_EQ(endsOpenLine(last), 1u);
    EXPECT_EQ(overlongLinesText(0), "");
    EXPECT_EQ(overlongLinesText(1), "1 over-long line cut short");
    EXPECT_EQ(overlongLinesText(2), "2 over-long lines cut short");
}
