// Names of the position sources other than a serial port: gpsd and raw NMEA over TCP.
#include "gps/SourceName.h"

#include <charconv>

#include "base/AsciiCase.h"

namespace varno::gps {
namespace {

constexpr std::string_view kGpsdScheme = "gpsd://";
constexpr std::string_view kTcpScheme = "tcp://";

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::optional<std::uint16_t> portNumber(std::string_view text)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value == 0 || value > 65535)
        return std::nullopt;
    return std::uint16_t(value);
}

} // namespace

bool isNetworkSourceName(std::string_view name)
{
    return startsWithNoCase(name, kGpsdScheme) || startsWithNoCase(name, kTcpScheme);
}

std::optional<NetworkSource> parseNetworkSource(std::string_view name)
{
    NetworkSource s;
    if (startsWithNoCase(name, kGpsdScheme)) {
        s.kind = SourceKind::Gpsd;
        name.remove_prefix(kGpsdScheme.size());
    } else if (startsWithNoCase(name, kTcpScheme)) {
        s.kind = SourceKind::Tcp;
        name.remove_prefix(kTcpScheme.size());
    } else {
        return std::nullopt;
    }
    if (!name.empty() && name.back() == '/')
        name.remove_suffix(1);

    std::string_view host = name, port;
    if (name.starts_with('[')) {
        const auto close = name.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = name.substr(1, close - 1);
        const std::string_view rest = name.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
            if (port.empty())
                return std::nullopt;
        }
    } else if (const auto colon = name.rfind(':'); colon != std::string_view::npos) {
        host = name.substr(0, colon);
        port = name.substr(colon + 1);
        if (port.empty() || host.find(':') != std::string_view::npos)
            return std::nullopt;
    }
    if (host.empty() || host.find_first_of("/ \t") != std::string_view::npos)
        return std::nullopt;
    s.host = std::string(host);
    if (!port.empty()) {
        const auto n = portNumber(port);
        if (!n)
            return std::nullopt;
        s.port = *n;
    } else if (s.kind == SourceKind::Tcp) {
        return std::nullopt;
    }
    return s;
}

SourceKind sourceKindFromText(std::string_view text)
{
    if (equalsNoCase(text, "gpsd"))
        return SourceKind::Gpsd;
    if (equalsNoCase(text, "TCP"))
        return SourceKind::Tcp;
    return SourceKind::Serial;
}

std::string sourceName(SourceKind kind, const std::string& serialPort, const std::string& host,
                       const std::string& port)
{
    if (kind == SourceKind::Serial)
        return serialPort;
    const std::string h = host.empty() ? "localhost" : host;
    const auto n = portNumber(port);
    const std::string hostPart = h.find(':') != std::string::npos || h.front() == '[' ? "[" + h + "]" : h;
    return std::string(kind == SourceKind::Gpsd ? kGpsdScheme : kTcpScheme) + hostPart + ":" +
           std::to_string(n.value_or(kGpsdDefaultPort));
}

} // namespace varno::gps
