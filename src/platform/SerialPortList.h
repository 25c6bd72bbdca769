// The serial devices present on this machine, for the Com Settings dialog.
#pragma once

#include <string>
#include <vector>

#include "gps/PortList.h"

namespace varno::platform {

// Lists /dev/serial/by-id/* (names that survive re-plugging) first, then
// /dev/ttyUSB*, /dev/ttyACM*, and the /dev/ttyS* that have a UART behind them.
// Each group is sorted by its number ("ttyUSB2" before "ttyUSB10").
class SerialPortList final : public gps::SerialPortEnumerator {
public:
    // devRoot lets tests point at a fake /dev.
    explicit SerialPortList(std::string devRoot = "/dev") : devRoot_(std::move(devRoot)) {}
    std::vector<std::string> presentPorts() const override;

private:
    std::string devRoot_;
};

// True when the tty at path has a UART behind it (TIOCGSERIAL type is not
// PORT_UNKNOWN); the kernel creates /dev/ttyS0..31 whether or not there is one.
bool hasUart(const std::string& path);

} // namespace varno::platform
