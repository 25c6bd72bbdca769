// The program's settings: the readers and writers of every value, with their messages.
#include "settings/Settings.h"

#include <algorithm>

#include <fmt/printf.h>

#include "base/Numbers.h"
#include "settings/MasterTable.h"

namespace varno::settings {
namespace {

std::string keyPathText(std::string_view key)
{
    return "HKEY_CURRENT_USER\n" + std::string(key);
}

std::string valuePath(std::string_view name)
{
    return std::string(kVarnoKey) + "\\" + std::string(name);
}

} // namespace

void Settings::reportUnreadable()
{
    std::string report = store_.takeUnreadableReport();
    if (!report.empty())
        prompt_.message(report);
}

bool Settings::keyExists()
{
    reportUnreadable();
    return store_.keyExists(kVarnoKey);
}

std::optional<Value> Settings::read(std::string_view name, bool& keyMissing)
{
    reportUnreadable();
    keyMissing = !store_.keyExists(kVarnoKey);
    if (keyMissing)
        return std::nullopt;
    return store_.get(kVarnoKey, name);
}

std::optional<std::string> Settings::readString(std::string_view name)
{
    bool keyMissing;
    auto v = read(name, keyMissing);
    if (!v || v->type != ValueType::Sz)
        return std::nullopt;
    return v->text;
}

std::optional<uint32_t> Settings::readDword(std::string_view name)
{
    bool keyMissing;
    auto v = read(name, keyMissing);
    if (!v || v->type != ValueType::Dword)
        return std::nullopt;
    return v->number;
}

std::optional<std::string> Settings::readFileName(std::string_view name)
{
    bool keyMissing;
    auto v = read(name, keyMissing);
    if (v && v->type == ValueType::Sz)
        return v->text;
    if (!keyMissing)
        if (const SettingDef* def = findSetting(name); def && !def->message.empty())
            prompt_.message(std::string(def->message));
    return std::nullopt;
}

std::optional<std::string> Settings::readTime(std::string_view name)
{
    return readFileName(name);
}

int Settings::readOnOff(std::string_view name)
{
    auto n = readDword(name);
    if (!n)
        return -1;
    return *n == 1 ? 1 : 0;
}

int64_t Settings::readNumber(std::string_view name, int64_t fallback)
{
    return readNumber(name, fallback, fallback);
}

int64_t Settings::readNumber(std::string_view name, int64_t keyMissing, int64_t valueMissing)
{
    bool noKey;
    auto v = read(name, noKey);
    if (noKey)
        return keyMissing;
    if (!v || v->type != ValueType::Dword)
        return valueMissing;
    return v->number;
}

int Settings::readSpeedUnits()
{
    return static_cast<int>(std::clamp<int64_t>(readNumber("SpeedUnits", 0), -1, 1 << 30));
}

int Settings::readVersion()
{
    return static_cast<int>(std::clamp<int64_t>(readNumber("Version", -1), -1, 1 << 30));
}

int Settings::readTrackLength()
{
    auto n = readDword("TrackLength");
    if (!n)
        return -1;
    return static_cast<int>(std::clamp<uint32_t>(*n, 500, 5000));
}

int Settings::readTimeZone()
{
    auto text = readString("TimeZone");
    return text ? leadingInt(*text) : 1;
}

std::optional<uint32_t> Settings::parseColour(std::string_view text)
{
    unsigned rgb[3];
    for (unsigned& c : rgb)
        if (!leadingHex(text, c))
            return std::nullopt;
    // As the RGB macro does, each part keeps its low byte.
    return (rgb[0] & 0xFFu) | ((rgb[1] & 0xFFu) << 8) | ((rgb[2] & 0xFFu) << 16);
}

std::string Settings::formatColour(uint32_t colour)
{
    return fmt::sprintf("%2.2x %2.2x %2.2x", colour & 0xFFu, (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
}

uint32_t Settings::readColour(std::string_view name)
{
    auto text = readString(name);
    if (!text)
        return 0;
    return parseColour(*text).value_or(0);
}

bool Settings::write(std::string_view name, const Value& value, bool codeOnly)
{
    reportUnreadable();
    bool hadKey = store_.keyExists(kVarnoKey);
    bool ok = value.type == ValueType::Dword ? store_.setDword(kVarnoKey, name, value.number)
                                             : store_.setString(kVarnoKey, name, value.text);
    if (ok)
        return true;
    // The key and the value land in one file write; a failure is blamed on the
    // key when there was none yet, as creating it would have failed first.
    if (codeOnly) {
        int code = store_.lastErrorCode();
        prompt_.message(fmt::sprintf("0x%x", static_cast<unsigned>(code)));
    } else if (!hadKey) {
        prompt_.message("An error occurred creating or opening the registry key\n" + keyPathText(kVarnoKey));
    } else {
        prompt_.message("An error occurred setting the registry value\n" + keyPathText(valuePath(name)));
    }
    return false;
}

bool Settings::writeString(std::string_view name, std::string_view text)
{
    return write(name, Value::sz(std::string(text)), false);
}

bool Settings::writeDword(std::string_view name, uint32_t number)
{
    return write(name, Value::dword(number), false);
}

bool Settings::writeColour(std::string_view name, uint32_t colour)
{
    return write(name, Value::sz(formatColour(colour)), false);
}

bool Settings::writeSpeedUnits(uint32_t units)
{
    return write("SpeedUnits", Value::dword(units), true);
}

bool Settings::writeMapScale(uint32_t metres)
{
    return write("MapScale", Value::dword(metres), true);
}

bool Settings::writeDefaults()
{
    reportUnreadable();
    SettingsStore::Batch batch(store_);
    batch.createKey(kVarnoKey);
    for (const SettingDef& def : masterTable()) {
        if (def.type == ValueType::Dword)
            batch.setDword(kVarnoKey, def.name, def.defaultNumber);
        else
            batch.setString(kVarnoKey, def.name, def.defaultText);
    }
    batch.createKey(kPoiFilesKey);
    if (batch.commit())
        return true;
    // Nothing of the batch was written. Report it as the key that could not be
    // made, then try the subkey on its own, as the steps run in that order.
    prompt_.message("An error occurred creating the registry key\n" + keyPathText(kVarnoKey));
    if (!store_.createKey(kPoiFilesKey))
        prompt_.message("An error occurred creating the registry key\n" + keyPathText(kPoiFilesKey));
    return false;
}

bool Settings::checkRegistry()
{
    bool ok = writeDefaults();
    prompt_.message(std::string(kRegistryCheckFinished));
    return ok;
}

} // namespace varno::settings
