// The serial devices present on this machine, for the Com Settings dialog.
#include "SerialPortList.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

// Natural order: the same prefix sorts by the number that follows it.
bool naturalLess(const std::string& a, const std::string& b)
{
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9')
            --i;
        const std::string digits = s.substr(i);
        return std::make_pair(s.substr(0, i), digits.empty() ? -1L : std::stol(digits.substr(0, 9)));
    };
    return split(a) < split(b);
}

std::vector<std::string> entries(const fs::path& dir, const std::string& prefix)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size())
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end(), naturalLess);
    return found;
}

} // namespace

bool hasUart(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool ok = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return ok;
}

std::vector<std::string> SerialPortList::presentPorts() const
{
    const fs::path dev(devRoot_);
    std::vector<std::string> ports = entries(dev / "serial" / "by-id", "");
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        auto group = entries(dev, prefix);
        ports.insert(ports.end(), group.begin(), group.end());
    }
    for (auto& s : entries(dev, "ttyS"))
        if (hasUart(s))
            ports.push_back(std::move(s));
    return ports;
}

} // namespace varno::platform
