// Names of the position sources other than a serial port: gpsd and raw NMEA over TCP.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varno::gps {

enum class SourceKind { Serial, Gpsd, Tcp };

inline constexpr std::uint16_t kGpsdDefaultPort = 2947;

// A network source as named by "gpsd://host[:port]" or "tcp://host:port".
// The host may be a bracketed IPv6 address ("[::1]"). gpsd's port defaults to
// 2947; a TCP stream has no default port.
struct NetworkSource {
    SourceKind kind = SourceKind::Gpsd;
    std::string host;
    std::uint16_t port = kGpsdDefaultPort;

    bool operator==(const NetworkSource&) const = default;
};

// True when the name starts like a network source (whether or not the rest
// is well formed); anything else is a serial port name.
bool isNetworkSourceName(std::string_view name);

// The parts of a network source name; nullopt when it is not one or is
// malformed (no host, a port that is not a number in 1..65535).
std::optional<NetworkSource> parseNetworkSource(std::string_view name);

// The stored source choice ("Serial", "gpsd", "TCP"; any case) as a kind;
// anything else is Serial.
SourceKind sourceKindFromText(std::string_view text);

// The name the GPS opens for a stored choice: the port name for Serial,
// else "gpsd://host:port" or "tcp://host:port" (an empty host is localhost,
// an empty or unreadable port gpsd's default).
std::string sourceName(SourceKind kind, const std::string& serialPort, const std::string& host,
                       const std::string& port);

} // namespace varno::gps
