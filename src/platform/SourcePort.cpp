// The GPS port the program opens: a serial receiver, gpsd or a TCP stream, by name.
#include "SourcePort.h"

#include <system_error>

#include "gps/SourceName.h"

namespace varno::platform {

namespace fs = std::filesystem;

SourcePort::SourcePort(fs::path byIdFolder) : byIdFolder_(std::move(byIdFolder)) {}

std::optional<std::string> SourcePort::stableName(const fs::path& byIdFolder, const std::string& path)
{
    std::error_code ec;
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    const fs::path device = fs::canonical(path, ec);
    if (ec)
        return std::nullopt;
    for (fs::directory_iterator it(byIdFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (fs::canonical(it->path(), linkEc) == device && !linkEc)
            return it->path().string();
    }
    return std::nullopt;
}

bool SourcePort::open(const std::string& name)
{
    close();
    if (gps::isNetworkSourceName(name)) {
        network_ = true;
        return net_.open(name);
    }
    network_ = false;
    // A device seen before under a stable name is looked for there first.
    if (const auto known = stableNames_.find(name); known != stableNames_.end()) {
        std::error_code ec;
        if (fs::exists(known->second, ec) && serial_.open(known->second))
            return true;
    }
    if (!serial_.open(name))
        return false;
    if (auto stable = stableName(byIdFolder_, name))
        stableNames_[name] = *stable;
    return true;
}

std::optional<gps::LineSettings> SourcePort::state()
{
    return network_.load() ? std::optional(gps::LineSettings{}) : serial_.state();
}

bool SourcePort::applyState(const gps::LineSettings& settings)
{
    return network_.load() || serial_.applyState(settings);
}

bool SourcePort::setReadTimeout(std::chrono::milliseconds timeout)
{
    net_.setReadTimeout(timeout);
    return network_.load() || serial_.setReadTimeout(timeout);
}

void SourcePort::clearErrors()
{
    if (!network_.load())
        serial_.clearErrors();
}

gps::ReadResult SourcePort::read(std::span<char> buffer)
{
    return active()->read(buffer);
}

void SourcePort::interruptRead()
{
    active()->interruptRead();
}

bool SourcePort::write(std::string_view data)
{
    return active()->write(data);
}

bool SourcePort::close()
{
    return active()->close();
}

} // namespace varno::platform
