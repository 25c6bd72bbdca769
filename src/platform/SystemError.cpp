// The system's text for an errno, in English whatever the locale.
#include "SystemError.h"

#include <clocale>
#include <cstring>
#include <system_error>

namespace varno::platform {

std::string systemErrorText(int err)
{
    // strerror_l with the "C" locale: English, and thread-safe unlike strerror().
    static const locale_t english = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    return english ? ::strerror_l(err, english) : std::generic_category().message(err);
}

} // namespace varno::platform
