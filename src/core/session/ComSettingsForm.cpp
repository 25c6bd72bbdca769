// The Com Settings dialog without its widgets: the lists it offers, what it shows, what OK stores.
#include "session/ComSettingsForm.h"

#include <algorithm>
#include <array>

#include "base/Numbers.h"
#include "base/AsciiCase.h"

namespace varno::session {
namespace {

constexpr std::string_view kSpeeds[] = {"1200",  "2400",  "4800",  "9600",   "14400",  "19200",
                                        "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::string_view kParities[] = {"NONE", "ODD", "EVEN", "MARK", "SPACE"};
constexpr std::string_view kDataBits[] = {"5", "6", "7", "8", "16"};
constexpr std::string_view kStopBits[] = {"1", "1.5", "2"};

// The rates the dialog recognises in a stored Speed (not quite its own list).
constexpr int kShownRates[] = {1200,  1800,  2400,  4800,  7200,   9600,  14400,
                               19200, 38400, 56000, 57600, 115200, 128000};
constexpr std::string_view kParityNames[] = {"None", "Even", "Odd", "Mark", "Space"};

} // namespace

std::span<const std::string_view> ComSettingsForm::speedList()
{
    return kSpeeds;
}
std::span<const std::string_view> ComSettingsForm::parityList()
{
    return kParities;
}
std::span<const std::string_view> ComSettingsForm::dataBitsList()
{
    return kDataBits;
}
std::span<const std::string_view> ComSettingsForm::stopBitsList()
{
    return kStopBits;
}

std::vector<std::string> ComSettingsForm::portChoices(std::vector<std::string> present,
                                                      const std::optional<std::string>& storedPort)
{
    if (storedPort && !storedPort->empty() &&
        std::find(present.begin(), present.end(), *storedPort) == present.end())
        present.insert(present.begin(), *storedPort);
    return present;
}

ComSettingsFields ComSettingsForm::shown(const std::optional<std::string>& port,
                                         const std::optional<std::string>& speed,
                                         const std::optional<std::string>& parity,
                                         const std::optional<std::string>& dataBits,
                                         const std::optional<std::string>& stopBits)
{
    ComSettingsFields f;
    f.port = port.value_or("");
    f.stopBits = stopBits.value_or("");
    if (speed) {
        const int rate = leadingInt(*speed);
        if (std::find(std::begin(kShownRates), std::end(kShownRates), rate) != std::end(kShownRates))
            f.speed = std::to_string(rate);
    }
    if (parity) {
        for (std::string_view name : kParityNames) {
            if (equalsNoCase(*parity, name))
                f.parity = std::string(name);
        }
    }
    if (dataBits) {
        const int bits = leadingInt(*dataBits);
        if (bits == 5 || bits == 6 || bits == 7 || bits == 8 || bits == 16)
            f.dataBits = std::to_string(bits);
    }
    return f;
}

std::vector<std::pair<settings::TextKey, std::string>> ComSettingsForm::toStore(const ComSettingsFields& f)
{
    namespace keys = settings::keys;
    std::vector<std::pair<settings::TextKey, std::string>> out;
    const std::pair<settings::TextKey, const std::string*> fields[] = {{keys::Port, &f.port},
                                                                       {keys::Speed, &f.speed},
                                                                       {keys::Parity, &f.parity},
                                                                       {keys::StopBits, &f.stopBits},
                                                                       {keys::DataBits, &f.dataBits}};
    for (const auto& [name, text] : fields) {
        if (!text->empty())
            out.emplace_back(name, *text);
    }
    return out;
}

} // namespace varno::session
