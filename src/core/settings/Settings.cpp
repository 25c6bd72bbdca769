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

std::optional<Value> Settings::read(const SettingDef& def, bool& keyMissing)
{
    SettingsStore::Lookup found = store_.lookup(kVarnoKey, def.name);
    if (!found.unreadableReport.empty())
        prompt_.message(found.unreadableReport);
    keyMissing = !found.keyExists;
    return std::move(found.value);
}

std::optional<std::string> Settings::readText(const SettingDef& def, bool& keyMissing)
{
    auto v = read(def, keyMissing);
    if (!v || v->type != ValueType::Sz || (def.limit != 0 && v->text.size() >= def.limit))
        return std::nullopt;
    return std::move(v->text);
}

std::optional<std::string> Settings::peekText(const SettingDef& def)
{
    bool keyMissing;
    auto v = read(def, keyMissing);
    if (!v || v->type != ValueType::Sz)
        return std::nullopt;
    return std::move(v->text);
}

std::optional<std::string> Settings::read(const TextKey& key)
{
    bool keyMissing;
    return readText(key.row(), keyMissing);
}

std::optional<std::string> Settings::readName(const SettingDef& def)
{
    bool keyMissing;
    auto text = readText(def, keyMissing);
    if (!text && !keyMissing && !def.message.empty())
        prompt_.message(std::string(def.message));
    return text;
}

int Settings::read(const OnOffKey& key)
{
    bool keyMissing;
    auto v = read(key.row(), keyMissing);
    if (!v || v->type != ValueType::Dword)
        return -1;
    return v->number == 1 ? 1 : 0;
}

int64_t Settings::read(const NumberKey& key)
{
    const SettingDef& def = key.row();
    bool keyMissing;
    auto v = read(def, keyMissing);
    if (keyMissing)
        return def.ifKeyMissing;
    if (!v || v->type != ValueType::Dword)
        return def.ifValueMissing;
    return std::clamp(v->number, def.low, def.high);
}

TimeZone Settings::read(const TimeZoneKey& key)
{
    bool keyMissing;
    auto text = readText(key.row(), keyMissing);
    return text ? timeZoneFromText(*text) : TimeZone(1);
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

uint32_t Settings::read(const ColourKey& key)
{
    bool keyMissing;
    auto text = readText(key.row(), keyMissing);
    if (!text)
        return 0;
    return parseColour(*text).value_or(0);
}

bool Settings::write(const SettingDef& def, const Value& value)
{
    reportUnreadable();
    bool hadKey = store_.keyExists(kVarnoKey);
    if (!hadKey && def.writeFailure == WriteFailure::CodeAndText)
        return false;
    bool ok = value.type == ValueType::Dword ? store_.setDword(kVarnoKey, def.name, value.number)
                                             : store_.setString(kVarnoKey, def.name, value.text);
    if (ok)
        return true;
    const std::string code = fmt::sprintf("0x%x", static_cast<unsigned>(store_.lastErrorCode()));
    // The key and the value land in one file write; a failure is blamed on the
    // key when there was none yet, as creating it would have failed first.
    switch (def.writeFailure) {
    case WriteFailure::Code:
        prompt_.message(code);
        break;
    case WriteFailure::CodeAndText:
        prompt_.message(code + "\n" + std::string(def.writeText));
        break;
    case WriteFailure::KeyOrValue:
        if (!hadKey) {
            prompt_.message("An error occurred creating or opening the registry key\n" +
                            keyPathText(kVarnoKey));
            break;
        }
        [[fallthrough]];
    case WriteFailure::Value:
        prompt_.message("An error occurred setting the registry value\n" + keyPathText(valuePath(def.name)));
        break;
    }
    return false;
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
