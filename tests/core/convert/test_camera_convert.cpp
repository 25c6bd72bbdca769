// Camera lists into camera-file lines: CSV rules per list, OV2 records good and bad, the corpus
// against gpsbabel, and what files are left after append, cancel and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/Numbers.h"
#include "convert/CameraConvert.h"
#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

namespace {

Report csv(const std::string& text, CameraOptions options, std::string& out)
{
    LineInput in{std::string_view(text)};
    StringSink sink;
    Progress progress;
    Report r = convertCameraCsv(in, sink, options, progress);
    out = sink.text;
    return r;
}

std::string ov2(const std::string& bytes, CameraOptions options = {}, Report* report = nullptr)
{
    StringSink sink;
    Progress progress;
    const Report r = convertOv2(bytes, sink, options, progress);
    if (report)
        *report = r;
    return sink.text;
}

} // namespace

TEST(CameraCsv, LinesOfEachList)
{
    const CameraOptions pocket{CameraList::PocketGps}, garmin{CameraList::Garmin};
    struct Case {
        const char* what;
        CameraOptions options;
        std::string input;
        std::string expected;
    } cases[] = {
        {"blanks around quoted fields, CR LF; temporary is not permanent, in any case", pocket,
         "  \"-1.5\", \"52.25\",\"temp@50\",\"High St\"\r\n", "52.25,-1.5,temp@50,High St,,temp@50,No,50\n"},
        {"names and descriptions are cut, not inside a UTF-8 letter", pocket,
         "-1,51,ABCDEFGHIJKLMNOPQ@300,Twenty-six characters long\n-1,51,ABCDEFGHIJKLM\xc3\xa9,"
         "M\xfcnchen Latin-1\n",
         "51,-1,ABCDEFGHIJKLMN,Twenty-six characters lon,,ABCDEFGHIJKLMN,Yes,300\n"
         "51,-1,ABCDEFGHIJKLM,M\xc3\xbcnchen Latin-1,,ABCDEFGHIJKLM,Yes,\n"}, // written as UTF-8
        {"missing fields and empty fields stay in place", pocket, "-1,51\n-1,51,,town\n",
         "51,-1,,,,,Yes,\n51,-1,,town,,,Yes,\n"},
        {"garmin: the first line is a header, even with numbers", garmin, "-1,51,HEADER,x\n-1,51,B,c\n",
         "51,-1,B,c,,B,Yes,\n"},
    };
    for (const Case& c : cases) {
        std::string out;
        const Report r = csv(c.input, c.options, out);
        EXPECT_TRUE(r.ok()) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
    }
    std::string out;
    const Report r = csv(";c\n-1,51,A,b\nx,y,z\n", pocket, out);
    EXPECT_EQ(r.message, "3 lines processed.\n\nConversion complete.");
    EXPECT_NE(r.notes.find("1 lines"), std::string::npos) << r.notes;

    // Positions no place has are left out and their lines named (the header counts in Garmin's).
    const Report off = csv("-1,91,A,b\n-1,51,B,c\n1e308,51,C,d\nnan,51,D,e\n", pocket, out);
    EXPECT_EQ(out, "51,-1,B,c,,B,Yes,\n");
    EXPECT_NE(off.notes.find("2 lines with a latitude beyond 90 or a longitude beyond 180 degrees were left "
                             "out (lines 1, 3)."),
              std::string::npos)
        << off.notes;
    EXPECT_NE(csv("h\n-181,51,A,b\n", garmin, out).notes.find("(line 2)"), std::string::npos);
}

// CR alone ends a line; the rest of an over-long line is no camera, and the
// notes say how many lines were cut.
TEST(CameraCsv, CrOnlyLinesAndOverLongLines)
{
    CameraOptions pocket;
    pocket.list = CameraList::PocketGps;
    std::string out, crOut;
    const Report lf = csv(";c\n-1,51,A,b\n-2,52,C,d\n", pocket, out);
    const Report cr = csv(";c\r-1,51,A,b\r-2,52,C,d\r", pocket, crOut);
    EXPECT_EQ(crOut, out);
    EXPECT_EQ(cr.linesOut, 2u);
    EXPECT_EQ(cr.notes, lf.notes);

    std::string longLine = "-1,51,A,b";
    longLine += std::string(298 - longLine.size(), ' ') + "-3,53,Phantom,x\n";
    std::string longOut;
    const Report r = csv(";c\n" + longLine + "-2,52,C,d\n", pocket, longOut);
    EXPECT_EQ(r.linesOut, 2u);
    EXPECT_EQ(longOut.find("Phantom"), std::string::npos);
    EXPECT_NE(r.notes.find("1 over-long line cut short"), std::string::npos) << r.notes;
}
TEST(CameraOv2, RecordsGoodAndBad)
{
    const std::string a = ov2Point(-133713, 5138422, "GATSO@30");
    const std::string b = ov2Point(200000, -3350000, "Name", {"Town", "Specs"});
    const std::string lineA = "51.384220,-1.337130,GATSO@30,,,GATSO@30,,\n";
    const std::string lineB = "-33.500000,2.000000,Name,Town,,Specs,,\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"an unknown type ends the file", a + ov2Record(9, "zz") + b, lineA},
        {"a length inside the header stops instead of looping", a + ov2Record(0, "", 0) + b, lineA},
        {"a record cut short stops", a + std::string("\x02\x20\0\0\0\x01\x02", 7), lineA},
        {"a length past the end ends after the record", ov2Point(-133713, 5138422, "GATSO@30", {}, 1000) + b,
         lineA},
        {"a name without terminator ends at the record's end",
         ov2Record(2, std::string("\x01\0\0\0\x01\0\0\0NAME", 12)) + a,
         "0.000010,0.000010,NAME,,,NAME,,\n" + lineA},
        {"a name is cut at 299 bytes", ov2Point(1, 1, std::string(400, 'n')),
         "0.000010,0.000010," + std::string(299, 'n') + ",,," + std::string(299, 'n') + ",,\n"},
        {"an empty file gives nothing", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ov2(c.bytes), c.expected) << c.what;

    // A file that is not OV2 at all says why nothing came out of it.
    Report binary;
    EXPECT_EQ(ov2("\x89PNG\r\n\x1a\n0000000000000000", {}, &binary), "");
    EXPECT_EQ(binary.notes, "The record at byte 0 has the unknown type 137; reading stopped there.");

    // A record placed off the Earth is left out and named; the rest are kept.
    Report offEarth;
    EXPECT_EQ(ov2(ov2Point(-100000, 9100000, "NORTH") + a + ov2Point(18000001, 100, "EAST"), {}, &offEarth),
              lineA);
    EXPECT_EQ(offEarth.notes,
              "2 records with a latitude beyond 90 or a longitude beyond 180 degrees were left "
              "out (at bytes 0, " +
                  std::to_string(ov2Point(-100000, 9100000, "NORTH").size() + a.size()) + ").");

    CameraOptions fresh{CameraList::PocketGpsNew, true};
    EXPECT_EQ(ov2(ov2Point(-100000, 5100000, "GATSO 2 way@30") + ov2Point(-100000, 5100000, "Camera"), fresh),
              "51.000000,-1.000000,GATSO@30,,,GATSO@30,,30\n51.000000,-1.000000,Camera,,,Camera,,\n");
    fresh.shortNames = false;
    EXPECT_EQ(ov2(ov2Point(-100000, 5100000, "GATSO 2 way@30"), fresh),
              "51.000000,-1.000000,GATSO 2 way@30,,,GATSO 2 way@30,,30\n");
    EXPECT_TRUE(isOv2Name("C:/cams/UK.OV2"));
    EXPECT_FALSE(isOv2Name("cams.ov2.csv"));
}

// Every corpus OV2 file holds the points gpsbabel reads from it.
TEST(CameraOv2, CorpusMatchesGpsbabel)
{
    if (!haveTool("gpsbabel"))
        GTEST_SKIP() << "gpsbabel is not installed";
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(VARNO_CORPUS_DIR) + "/ov2")) {
        const std::string path = entry.path().string();
        if (!isOv2Name(path))
            continue;
        ++files;
        const std::string ours = ov2(readBytes(path));
        int status = 0;
        const std::string theirs =
            commandOutput("gpsbabel -i tomtom -f '" + path + "' -o unicsv -F - 2>/dev/null", &status);
        ASSERT_EQ(status, 0) << path;
        std::vector<std::pair<double, double>> a, b;
        std::istringstream oursIn(ours), theirsIn(theirs);
        for (std::string line; std::getline(oursIn, line);)
            a.emplace_back(leadingDouble(line), leadingDouble(line.substr(line.find(',') + 1)));
        std::string line;
        std::getline(theirsIn, line); // header
        while (std::getline(theirsIn, line))
            if (line.find(',') != std::string::npos)
                b.emplace_back(leadingDouble(line.substr(line.find(',') + 1)),
                               leadingDouble(line.substr(line.find(',', line.find(',') + 1) + 1)));
        ASSERT_EQ(a.size(), b.size()) << path << "\n" << theirs;
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_NEAR(a[i].first, b[i].first, 1e-5) << path << " point " << i;
            EXPECT_NEAR(a[i].second, b[i].second, 1e-5) << path << " point " << i;
        }
    }
    EXPECT_GT(files, 0);
}

TEST(CameraFiles, AppendCancelAndRefusals)
{
    ScratchDir dir;
    const std::string src = dir.file("cams.csv"), dst = dir.file("VARNOCamera.txt");
    writeBytes(src, "-1,51,A,b\n-2,52,C,d\n");
    writeBytes(dst, "old line\n");
    Progress progress;
    Report r = convertCameraFile({src, dst, true}, {}, progress);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(readBytes(dst), "old line\n51,-1,A,b,,A,Yes,\r\n52,-2,C,d,,C,Yes,\r\n");

    // A cancelled conversion leaves the old file and no temporary one beside it.
    writeBytes(dst, "old line\n");
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "-1,51,A,b\n";
    writeBytes(src, big);
    Progress cancel([](std::uint64_t, std::uint64_t) { return false; });
    r = convertCameraFile({src, dst, false}, {}, cancel);
    EXPECT_EQ(r.status, Report::Status::Cancelled);
    EXPECT_EQ(readBytes(dst), "old line\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    // Bad sources and destinations are named; nothing is written.
    std::filesystem::create_directory(dir.file("folder"));
    struct Bad {
        FileJob job;
        std::string start;
    } bad[] = {
        {{dir.file("missing.csv"), dst}, "Error can't open source file\n" + dir.file("missing.csv")},
        {{dir.file("folder"), dst}, "Error can't open source file\n" + dir.file("folder")},
        {{src, dir.file("folder")}, "Error can't open destination file\n" + dir.file("folder")},
        {{src, src}, "The source and destination file names can not be the same."},
        {{src, dir.file("no/such/folder/out.txt")}, "Error can't open destination file\n"},
        {{"", dst}, "The source file name can not be empty"},
    };
    for (const Bad& b : bad) {
        r = convertCameraFile(b.job, {}, progress);
        EXPECT_EQ(r.status, Report::Status::Failed) << b.start;
        EXPECT_EQ(r.message.rfind(b.start, 0), 0u) << r.message;
    }
    EXPECT_EQ(readBytes(dst), "old line\n");
    EXPECT_EQ(readBytes(src), big);

    // Several sources go into one destination only when all of them convert.
    writeBytes(dir.file("a.csv"), "hdr\n-1,51,pA,b\n");
    writeBytes(dir.file("b.OV2"), ov2Point(-100000, 5100000, "B@30"));
    r = convertCameraFiles({dir.file("a.csv"), dir.file("b.OV2"), dir.file("gone.csv")}, dst, false,
                           {CameraList::PocketGpsNew}, progress);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(readBytes(dst), "old line\n");
    r = convertCameraFiles({dir.file("a.csv"), dir.file("b.OV2")}, dst, false, {CameraList::PocketGpsNew},
                           progress);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(readBytes(dst), "51,-1,A,b,,A,Yes,\r\n51.000000,-1.000000,B@30,,,B@30,,30\r\n");
}

// The streaming writer: an abandoned write leaves the old file; kept bytes come first.
TEST(AtomicFileWriter, AbandonKeepsOldAndAppendKeepsOldBytes)
{
    ScratchDir dir;
    const std::string path = dir.file("f.txt");
    writeBytes(path, "old\n");
    {
        AtomicFileWriter w;
        ASSERT_TRUE(w.open(path));
        w.write("half");
    }
    EXPECT_EQ(readBytes(path), "old\n");
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(path, {}, true));
    w.write("taken back\n");
    ASSERT_TRUE(w.restart()); // the kept old bytes stay
    w.write("new\n");
    EXPECT_EQ(w.size(), 8u);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readBytes(path), "old\nnew\n");
    FailingSync failing;
    AtomicWriteOptions options;
    options.sync = &failing;
    ASSERT_TRUE(w.open(path, options));
    w.write("lost");
    EXPECT_EQ(w.commit().failed, WriteOutcome::Stage::Write);
    EXPECT_EQ(readBytes(path), "old\nnew\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
