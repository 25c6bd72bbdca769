// varno-cli decode FILE|-: the position sentences of an NMEA log through the decoder.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Cli.h"
#include "DecodeLine.h"
#include "gps/CNmeaDecoder.h"
#include "gps/HandOffFilter.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "base/InputFile.h"

namespace varno::cli {
namespace {

// The serial reader keeps at most this many characters of a line; one more
// empties it and the rest of the line arrives as a fragment.
constexpr std::size_t kReaderLineLimit = 99;

// Splits a log into the lines the serial reader would form: a line ends at CR
// or at LF (an LF straight after a CR only finishes that line, so CR LF and LF
// files number their lines alike). A line that grows past 99 characters is
// emptied and goes on filling, as in the reader.
class ReaderLines {
public:
    template <typename OnLine> void feed(const char* bytes, std::size_t n, OnLine&& onLine)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = bytes[i];
            const bool afterCr = lastWasCr_;
            lastWasCr_ = c == '\r';
            if (c == '\r' || (c == '\n' && !afterCr)) {
                onLine(++number_, std::string_view(line_));
                line_.clear();
                pendingLine_ = false;
            } else if (c != '\n') {
                line_.push_back(c);
                pendingLine_ = true;
                if (line_.size() > kReaderLineLimit)
                    line_.clear();
            }
        }
    }

    // A last line without a line end still counts as a line of the file.
    template <typename OnLine> void finish(OnLine&& onLine)
    {
        if (pendingLine_)
            onLine(++number_, std::string_view(line_));
        line_.clear();
        pendingLine_ = false;
    }

private:
    std::string line_;
    unsigned long number_ = 0;
    bool lastWasCr_ = false;
    bool pendingLine_ = false;
};

} // namespace

int cmdDecode(Context& ctx, const Args& args)
{
    if (args.size() != 1) {
        std::fprintf(ctx.err, "usage: varno-cli decode FILE|-\n");
        return kExitUsage;
    }
    const std::string& path = args[0];
    FileHandle owned;
    std::FILE* in = stdin;
    if (path != "-") {
        std::string refusal;
        owned = openTextForReading(path, &refusal);
        if (!owned) {
            std::fprintf(ctx.err, "varno-cli decode: cannot read %s: %s\n", path.c_str(),
                         refusal.empty() ? std::strerror(errno) : refusal.c_str());
            return kExitUsage;
        }
        in = owned.get();
    }

    gps::CNmeaDecoder decoder;
    ReaderLines lines;
    auto onLine = [&](unsigned long number, std::string_view line) {
        if (!gps::passesHandOffFilter(line))
            return;
        const bool ok = gps::intakeSentence(decoder, line);
        const std::string text = formatDecodeLine(number, line, ok, decoder);
        std::fprintf(ctx.out, "%s\n", text.c_str());
    };

    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        lines.feed(buffer, got, onLine);
    if (std::ferror(in)) {
        std::fprintf(ctx.err, "varno-cli decode: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return kExitUsage;
    }
    lines.finish(onLine);
    std::fflush(ctx.out);
    return kExitOk;
}

} // namespace varno::cli
