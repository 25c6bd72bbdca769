// varno-cli decode: golden output on a small log, stdin, line ends and bad files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "CliRun.h"

namespace varno::test {
namespace {

const std::string kLog = std::string(VARNO_TEST_DATA_DIR) + "/nmea/decode_small.nmea";
const std::string kDecode = "--settings /nonexistent/varno-test.reg decode ";

TEST(CliDecode, GoldenOutputFromFileAndStdinWithAnyLineEnd)
{
    const std::string expected = readBytes(std::string(VARNO_TEST_DATA_DIR) + "/nmea/decode_small.expected");
    ASSERT_FALSE(expected.empty());
    ScratchDir dir;
    const std::string crlf = readBytes(kLog);
    std::string lf, cr;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        const bool end = crlf.compare(i, 2, "\r\n") == 0;
        lf += end ? '\n' : crlf[i];
        cr += end ? '\r' : crlf[i];
        i += end;
    }
    writeBytes(dir.file("lf.nmea"), lf);
    writeBytes(dir.file("cr.nmea"), cr);
    for (const std::string& args : {shellQuoted(kLog), "- < " + shellQuoted(kLog),
                                    shellQuoted(dir.file("lf.nmea")), shellQuoted(dir.file("cr.nmea"))}) {
        const CliRun r = runCli(kDecode + args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_EQ(r.out, expected) << args;
    }
}

TEST(CliDecode, LastLineWithoutLineEndAndLongLines)
{
    ScratchDir dir;
    // 100 characters of junk empty the reader's line; the sentence glued behind
    // them arrives as its own fragment, as on the serial port.
    writeBytes(dir.file("tail.nmea"), std::string(100, 'x') +
                                          "$GPGGA,010203,5130.0,N,00030.0,W,1,08,1.0,5.0,M,,M,,*46\r\n"
                                          "$GPRMC,010203,A,5130.0,N,00030.0,W,12.0,90.0,010124,,,A*6A");
    const CliRun r = runCli(kDecode + shellQuoted(dir.file("tail.nmea")));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "1\tGPGGA\tok\t51.500000\t-0.500000\t01:02:03\t0.000\t0.0\t5.0\n"
                     "2\tGPRMC\tok\t51.500000\t-0.500000\t01:02:03\t12.000\t90.0\t5.0\n");
}

TEST(CliDecode, UnreadableFileAndUsage)
{
    const CliRun missing = runCli(kDecode + "/nonexistent/varno.nmea");
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find(std::strerror(ENOENT)), std::string::npos) << missing.err;
    // A folder is named as one, not with whatever the last failed call left in errno.
    const CliRun folder = runCli(kDecode + "/");
    EXPECT_EQ(folder.code, 2);
    EXPECT_EQ(folder.err, std::string("varno-cli decode: cannot read /: ") + std::strerror(EISDIR) + "\n");
    EXPECT_EQ(runCli(kDecode).code, 2);
}

} // namespace
} // namespace varno::test
