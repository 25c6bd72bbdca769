// The Com Settings dialog without its widgets: the lists it offers, what it shows, what OK stores.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/MasterTable.h"

namespace varno::session {

struct ComSettingsFields {
    std::string port, speed, parity, dataBits, stopBits;
};

class ComSettingsForm {
public:
    static std::span<const std::string_view> speedList();
    static std::span<const std::string_view> parityList();
    static std::span<const std::string_view> dataBitsList();
    static std::span<const std::string_view> stopBitsList();

    // The pick-only port list: the ports present, and the stored port when it
    // is not among them (so OK cannot quietly replace it with nothing).
    static std::vector<std::string> portChoices(std::vector<std::string> present,
                                                const std::optional<std::string>& storedPort);

    // The fields as the dialog opens with the stored texts (nullopt = missing):
    // Speed only when it is one of the usual rates, Parity in its canonical
    // spelling when it names one, DataBits when it is 5, 6, 7, 8 or 16, the
    // port and stop bits as stored. Anything else shows an empty field.
    static ComSettingsFields shown(const std::optional<std::string>& port,
                                   const std::optional<std::string>& speed,
                                   const std::optional<std::string>& parity,
                                   const std::optional<std::string>& dataBits,
                                   const std::optional<std::string>& stopBits);

    // The values OK writes, by name, in the order Port, Speed, Parity,
    // StopBits, DataBits. A field left empty writes nothing: the stored
    // setting stays (an empty Speed would otherwise open the port at 0 baud).
    static std::vector<std::pair<settings::TextKey, std::string>> toStore(const ComSettingsFields& fields);
};

} // namespace varno::session
