// Which serial ports the Com Settings dialog offers, and where a port name points.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::gps {

// Lists the serial devices present on this machine, best names first.
class SerialPortEnumerator {
public:
    virtual ~SerialPortEnumerator() = default;
    virtual std::vector<std::string> presentPorts() const = 0;
};

// The Com Port choices: the devices present, in the enumerator's order, each
// once. Empty names are dropped.
std::vector<std::string> comPortChoices(const SerialPortEnumerator& enumerator);

// The device a stored port name stands for: "ComN" (any case, N >= 1) is
// /dev/ttyS{N-1}; a name starting with "/" is a device path used as it is.
// nullopt for anything else, which therefore cannot be opened.
std::optional<std::string> devicePathForPort(std::string_view name);

} // namespace varno::gps
