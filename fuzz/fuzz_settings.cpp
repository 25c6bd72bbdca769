// Fuzz target: the settings file reader, and the writer's output read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/RegDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using varno::settings::RegDocument;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = RegDocument::parse(bytes);
    if (!parsed.document)
        return 0;
    // Whatever was read must be written as a file that reads back the same.
    std::string out = parsed.document->format();
    auto again = RegDocument::parse(out);
    if (!again.document || again.document->format() != out)
        std::abort();
    for (const auto& key : parsed.document->keys())
        for (const auto& v : parsed.document->values(key))
            if (again.document->get(key, v.name) != v.value)
                std::abort();
    return 0;
}
