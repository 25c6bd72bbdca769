// The camera warner's settings read from and written to the settings file.
#include "cameras/StoreWarnerSettings.h"

#include <cerrno>

namespace varno::cameras {

bool StoreWarnerSettings::keyExists() const
{
    return store_.keyExists(settings::kVarnoKey);
}

std::optional<std::uint32_t> StoreWarnerSettings::readDword(const char* name) const
{
    std::optional<settings::Value> v = store_.get(settings::kVarnoKey, name);
    if (!v || v->type != settings::ValueType::Dword)
        return std::nullopt;
    return v->number;
}

std::optional<std::string> StoreWarnerSettings::readString(const char* name) const
{
    std::optional<settings::Value> v = store_.get(settings::kVarnoKey, name);
    if (!v || v->type != settings::ValueType::Sz)
        return std::nullopt;
    return v->text;
}

bool StoreWarnerSettings::writeDword(const char* name, std::uint32_t value)
{
    return store_.setDword(settings::kVarnoKey, name, value);
}

geo::ScaleWrite StoreWarnerSettings::writeMapScale(std::uint32_t metres)
{
    if (!keyExists())
        return {geo::ScaleWrite::Result::NoKey, 0};
    errno = 0;
    if (store_.setDword(settings::kVarnoKey, "MapScale", metres))
        return {};
    // The file write failed; errno says why when the system told us.
    return {geo::ScaleWrite::Result::Failed, errno != 0 ? static_cast<unsigned>(errno) : 0x1dU};
}

} // namespace varno::cameras
