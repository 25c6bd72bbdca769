// What every converter shares: line ends on disk, fields of comma-separated
// lines, and a destination that is only replaced by a conversion with records.
#include <gtest/gtest.h>

#include "cameras/CameraPoint.h"
#include "convert/CameraConvert.h"
#include "convert/Convert.h"
#include "core/base/ScratchFiles.h"
#include "core/convert/ConvertTestTools.h"

using namespace varno;
using namespace varno::convert;
using namespace varno::test;

TEST(CrLfSink, LineEndsBecomePairsOnceWhereverTheWritesSplitThem)
{
    const struct {
        std::vector<std::string> writes;
        std::string bytes;
    } cases[] = {
        {{"a\nb\n"}, "a\r\nb\r\n"},       {{"a\r\nb\n"}, "a\r\nb\r\n"}, // already a pair: not doubled
        {{"a\r", "\nb"}, "a\r\nb"},                                     // a pair split between two writes
        {{"a", "\n", "\n"}, "a\r\n\r\n"}, {{"\r\r\n\n"}, "\r\r\n\r\n"}, {{""}, ""},
    };
    for (const auto& c : cases) {
        StringSink text;
        CrLfSink lines(text);
        for (const std::string& w : c.writes)
            ASSERT_TRUE(lines.write(w));
        EXPECT_EQ(text.text, c.bytes) << testing::PrintToString(c.writes);
    }
}

TEST(FieldText, UnicodeKeptLatin1TakenAsSuchAndSeparatorsBlanked)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"Aebi Fr\xe8res, Bogis-Bossey", "Aebi Fr\xc3\xa8res  Bogis-Bossey"}, // Latin-1 è
        {"Aebi Fr\xc3\xa8res", "Aebi Fr\xc3\xa8res"},                         // UTF-8 è stays
        {"line\r\nend", "line  end"},
        {"\xc3", "\xc3\x83"}, // a cut-off sequence is Latin-1 too
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldText(c.in), c.out) << c.in;
}

TEST(CameraOv2, ANameWithACommaReadsBackUnshifted)
{
    const std::string bytes = ov2Point(617021, 4635438, "Aebi Fr\xe8res, Bogis-Bossey") +
                              ov2Point(617021, 4635438, "A", {"Town, North", "GATSO,30"});
    StringSink out;
    Progress progress;
    ASSERT_TRUE(convertOv2(bytes, out, {}, progress).ok());
    const auto eol = out.text.find('\n');
    const cameras::CameraPoint first = cameras::parseCameraLine(out.text.substr(0, eol));
    EXPECT_EQ(first.Road, "Aebi Fr\xc3\xa8res  "); // cut to the Road field's 14 bytes
    EXPECT_EQ(first.CamType, "Aebi Fr\xc3\xa8res  Bogis-Bosse");
    EXPECT_EQ(first.Town, "");
    const cameras::CameraPoint second = cameras::parseCameraLine(out.text.substr(eol + 1));
    EXPECT_EQ(second.Town, "Town  North");
    EXPECT_EQ(second.CamType, "GATSO 30");
    EXPECT_EQ(second.Permanent, "");
}

TEST(Destination, ACameraFileIsOnlyReplacedByCamerasAndEndsLinesInPairs)
{
    ScratchDir dir;
    const std::string src = dir.file("in.csv"), dst = dir.file("cams.txt");
    writeBytes(dst, "1,2,old\r\n");
    Progress progress;
    for (const std::string& empty :
         {std::string("junk\n"), std::string(";only a comment\n"), std::string()}) {
        writeBytes(src, empty);
        const Report r = convertCameraFile({src, dst}, {}, progress);
        EXPECT_EQ(r.status, Report::Status::Failed) << empty;
        EXPECT_NE(r.message.find("no record was read"), std::string::npos) << r.message;
        EXPECT_EQ(readBytes(dst), "1,2,old\r\n");
    }
    writeBytes(src, "-1,51,GATSO@30,x\n");
    ASSERT_TRUE(convertCameraFile({src, dst, true}, {}, progress).ok());
    EXPECT_EQ(readBytes(dst), "1,2,old\r\n51,-1,GATSO@30,x,,GATSO@30,Yes,30\r\n");
}
