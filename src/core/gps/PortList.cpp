// Which serial ports the Com Settings dialog offers, and where a port name points.
#include "gps/PortList.h"

#include <algorithm>

#include "base/AsciiCase.h"

namespace varno::gps {

std::vector<std::string> comPortChoices(const SerialPortEnumerator& enumerator)
{
    std::vector<std::string> choices;
    for (auto& name : enumerator.presentPorts()) {
        if (name.empty() || std::find(choices.begin(), choices.end(), name) != choices.end())
            continue;
        choices.push_back(std::move(name));
    }
    return choices;
}

std::optional<std::string> devicePathForPort(std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    if (name.size() < 4)
        return std::nullopt;
    if (!startsWithNoCase(name, "com"))
        return std::nullopt;
    const std::string_view digits = name.substr(3);
    if (digits.size() > 6 || digits.front() == '0')
        return std::nullopt;
    long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace varno::gps
