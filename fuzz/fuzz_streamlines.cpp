// Fuzz target: the gpsd/TCP line filter and network source names.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gps/SourceName.h"
#include "gps/StreamLines.h"

namespace {

using namespace varno::gps;

// Every line passed on is whole, bounded, ended by CR LF and free of line ends
// inside; gpsd mode passes only NMEA lines.
void checkOut(std::string_view out, StreamLines::Mode mode)
{
    while (!out.empty()) {
        const std::size_t end = out.find("\r\n");
        if (end == std::string_view::npos || end == 0 || end > StreamLines::kMaxLine)
            std::abort();
        const std::string_view line = out.substr(0, end);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            std::abort();
        if (mode == StreamLines::Mode::Gpsd && line.front() != '$' && line.front() != '!')
            std::abort();
        out.remove_prefix(end + 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t piece = size ? std::size_t(data[0]) + 1 : 1;

    // The same bytes in pieces and in one go give the same lines.
    for (const auto mode : {StreamLines::Mode::Raw, StreamLines::Mode::Gpsd}) {
        StreamLines pieces(mode), whole(mode);
        std::string a, b;
        for (std::size_t at = 0; at < size; at += piece)
            pieces.feed(all.substr(at, piece), a);
        whole.feed(all, b);
        if (a != b)
            std::abort();
        checkOut(a, mode);
    }

    // A name that parses composes back to one that parses the same.
    const std::string_view firstLine = all.substr(0, all.find('\n'));
    if (auto net = parseNetworkSource(firstLine)) {
        if (!isNetworkSourceName(firstLine) || net->host.empty() || net->port == 0)
            std::abort();
        const std::string again = sourceName(net->kind, "", net->host, std::to_string(net->port));
        if (parseNetworkSource(again) != net)
            std::abort();
    }
    return 0;
}
