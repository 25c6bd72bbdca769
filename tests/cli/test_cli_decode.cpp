// varno-cli decode: golden output on a small log, stdin, line ends and bad files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const fs::path kLog = fs::path(VARNO_TEST_DATA_DIR) / "nmea" / "decode_small.nmea";
const fs::path kExpected = fs::path(VARNO_TEST_DATA_DIR) / "nmea" / "decode_small.expected";

struct CliRun {
    int exitCode = -1;
    std::string out;
};

// Runs a shell command line and collects its stdout.
CliRun run(const std::string& commandLine)
{
    CliRun r;
    std::FILE* p = popen(commandLine.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string cli()
{
    return std::string("'") + VARNO_CLI_PATH + "' --settings /nonexistent/varno-test.reg";
}

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The log with every CR LF replaced by `lineEnd`.
fs::path withLineEnds(const std::string& lineEnd, const std::string& name)
{
    std::string text = readAll(kLog), converted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            converted += lineEnd;
            ++i;
        } else {
            converted += text[i];
        }
    }
    const fs::path p = fs::temp_directory_path() / name;
    std::ofstream(p, std::ios::binary) << converted;
    return p;
}

} // namespace

TEST(CliDecode, GoldenOutputFromFileAndStdin)
{
    const std::string expected = readAll(kExpected);
    ASSERT_FALSE(expected.empty());
    const CliRun fromFile = run(cli() + " decode '" + kLog.string() + "'");
    EXPECT_EQ(fromFile.exitCode, 0);
    EXPECT_EQ(fromFile.out, expected);
    const CliRun fromStdin = run(cli() + " decode - < '" + kLog.string() + "'");
    EXPECT_EQ(fromStdin.exitCode, 0);
    EXPECT_EQ(fromStdin.out, expected);
}

TEST(CliDecode, LfAndCrOnlyLogsNumberLinesAlike)
{
    const std::string expected = readAll(kExpected);
    for (const auto& [end, name] : {std::pair<std::string, std::string>{"\n", "varno_decode_lf.nmea"},
                                    {"\r", "varno_decode_cr.nmea"}}) {
        const fs::path p = withLineEnds(end, name);
        const CliRun r = run(cli() + " decode '" + p.string() + "'");
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_EQ(r.out, expected) << name;
        fs::remove(p);
    }
}

TEST(CliDecode, LastLineWithoutLineEndAndLongLines)
{
    const fs::path p = fs::temp_directory_path() / "varno_decode_tail.nmea";
    // 100 characters of junk empty the reader's line; the sentence glued behind
    // them arrives as its own fragment, as on the serial port.
    std::ofstream(p, std::ios::binary)
        << std::string(100, 'x') << "$GPGGA,010203,5130.0,N,00030.0,W,1,08,1.0,5.0,M,,M,,*46\r\n"
        << "$GPRMC,010203,A,5130.0,N,00030.0,W,12.0,90.0,010124,,,A*6A";
    const CliRun r = run(cli() + " decode '" + p.string() + "'");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1\tGPGGA\tok\t51.500000\t-0.500000\t01:02:03\t0.000\t0.0\t5.0\n"
                     "2\tGPRMC\tok\t51.500000\t-0.500000\t01:02:03\t12.000\t90.0\t5.0\n");
    fs::remove(p);
}

TEST(CliDecode, UnreadableFileAndUsage)
{
    const CliRun missing = run(cli() + " decode /nonexistent/varno.nmea 2>/dev/null");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.out, "");
    const CliRun directory = run(cli() + " decode / 2>/dev/null");
    EXPECT_EQ(directory.exitCode, 2);
    const CliRun noFile = run(cli() + " decode 2>/dev/null");
    EXPECT_EQ(noFile.exitCode, 2);
}
