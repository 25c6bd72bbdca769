// varno-cli settings: list, read and write the settings file, reset it to the defaults, and set up a new one.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "Cli.h"
#include "Paths.h"
#include "PosixFileSync.h"
#include "session/FirstRun.h"
#include "settings/MasterTable.h"
#include "settings/Settings.h"
#include "base/AsciiCase.h"
#include "base/Text.h"

namespace varno::cli {
namespace {

using settings::SettingsStore;
using settings::Value;
using settings::ValueType;

constexpr const char* kUsage =
    "usage: varno-cli settings list | get NAME | set NAME VALUE [--dword|--sz] | check-registry\n"
    "       varno-cli settings first-run [--recommended|--spec]\n"
    "  NAME is a value of Software\\VARNO, or SUBKEY\\NAME for a key below it (POIFiles\\POIFile1).\n"
    "  first-run sets up a new profile as the first start and its welcome page do: every default,\n"
    "  the data folders, and (--recommended, the default) the profile recommended for driving.\n";

// "POIFiles\POIFile1" -> key "Software\VARNO\POIFiles", name "POIFile1".
void splitName(const std::string& arg, std::string& key, std::string& name)
{
    key = std::string(settings::kVarnoKey);
    auto cut = arg.rfind('\\');
    if (cut == std::string::npos) {
        name = arg;
        return;
    }
    key += '\\';
    key += arg.substr(0, cut);
    name = arg.substr(cut + 1);
}

// The registry type an Other value's data stands for ("hex(2):..." is REG_EXPAND_SZ).
std::string otherTypeName(const std::string& data)
{
    std::string prefix = data.substr(0, data.find(':'));
    for (char& c : prefix)
        c = asciiLower(c);
    if (prefix == "hex" || prefix == "hex(3)")
        return "REG_BINARY";
    if (prefix == "hex(0)")
        return "REG_NONE";
    if (prefix == "hex(1)")
        return "REG_SZ(hex)";
    if (prefix == "hex(2)")
        return "REG_EXPAND_SZ";
    if (prefix == "hex(4)")
        return "REG_DWORD(hex)";
    if (prefix == "hex(7)")
        return "REG_MULTI_SZ";
    if (prefix == "hex(b)")
        return "REG_QWORD";
    return "REG_OTHER";
}

std::string typeName(const Value& v)
{
    switch (v.type) {
    case ValueType::Sz:
        return "REG_SZ";
    case ValueType::Dword:
        return "REG_DWORD";
    case ValueType::Other:
        return otherTypeName(v.text);
    }
    return {};
}

std::string valueText(const Value& v)
{
    return v.type == ValueType::Dword ? std::to_string(v.number) : v.text;
}

// Decimal or 0x hex, the whole text, within 32 bits.
std::optional<uint32_t> parseDword(const std::string& s)
{
    bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    std::string digits = hex ? s.substr(2) : s;
    if (digits.empty())
        return std::nullopt;
    uint64_t v = 0;
    for (char c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0 || d >= (hex ? 16 : 10))
            return std::nullopt;
        v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return static_cast<uint32_t>(v);
}

void noteMovedAside(Context& ctx, const SettingsStore& store, const std::string& before)
{
    std::string moved = store.movedAsidePath();
    if (!moved.empty() && moved != before)
        std::fprintf(ctx.err, "varno-cli: the unreadable settings file was kept as %s\n", moved.c_str());
}

int list(Context& ctx, SettingsStore& store, settings::Settings& s)
{
    if (!s.keyExists()) {
        std::fprintf(ctx.err, "varno-cli: no settings in %s\n", store.path().c_str());
        return kExitFailure;
    }
    const std::string base = settings::foldName(settings::kVarnoKey);
    for (const std::string& key : store.keys()) {
        std::string folded = settings::foldName(key);
        if (folded != base && folded.rfind(base + "\\", 0) != 0)
            continue;
        std::string prefix = folded == base ? "" : key.substr(base.size() + 1) + "\\";
        for (const auto& v : store.values(key))
            std::fprintf(ctx.out, "%s%s\t%s\t%s\n", prefix.c_str(), v.name.empty() ? "@" : v.name.c_str(),
                         typeName(v.value).c_str(), valueText(v.value).c_str());
    }
    return kExitOk;
}

int get(Context& ctx, SettingsStore& store, settings::Settings& s, const std::string& arg)
{
    std::string key, name;
    splitName(arg, key, name);
    std::optional<Value> v;
    if (s.keyExists())
        v = store.get(key, name);
    if (!v) {
        std::fprintf(ctx.err, "varno-cli: no value %s in %s\n", arg.c_str(), store.path().c_str());
        return kExitFailure;
    }
    std::fprintf(ctx.out, "%s\n", valueText(*v).c_str());
    return kExitOk;
}

// The settings' own messages name a registry key, not where it lives: a
// failed write also says which file could not be written, and why.
int writeResult(Context& ctx, const SettingsStore& store, bool ok)
{
    if (ok)
        return kExitOk;
    const int code = store.lastErrorCode();
    std::fprintf(ctx.err, "varno-cli settings: cannot write %s: %s\n", store.path().c_str(),
                 code > 1 ? std::strerror(code) : "the write failed");
    return kExitFailure;
}

int set(Context& ctx, SettingsStore& store, settings::Settings& s, const Args& args)
{
    std::vector<std::string> positional;
    std::optional<ValueType> forced;
    for (const auto& a : args) {
        if (a == "--dword")
            forced = ValueType::Dword;
        else if (a == "--sz")
            forced = ValueType::Sz;
        else
            positional.push_back(a);
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, ctx.err);
        return kExitUsage;
    }
    const std::string& arg = positional[0];
    const std::string& text = positional[1];
    std::string key, name;
    splitName(arg, key, name);
    const bool inMainKey = key == settings::kVarnoKey;
    const settings::SettingDef* def = inMainKey ? settings::findSetting(name) : nullptr;
    if (!def && !forced) {
        std::fprintf(ctx.err, "varno-cli: %s is not a known setting; give --dword or --sz\n", arg.c_str());
        return kExitUsage;
    }
    if (def && forced && *forced != def->type) {
        std::fprintf(ctx.err, "varno-cli: %s is a %s value\n", arg.c_str(),
                     def->type == ValueType::Dword ? "REG_DWORD" : "REG_SZ");
        return kExitUsage;
    }
    const ValueType type = def ? def->type : *forced;
    std::optional<uint32_t> number;
    if (type == ValueType::Dword) {
        number = parseDword(text);
        if (!number) {
            std::fprintf(ctx.err, "varno-cli: '%s' is not a number for the REG_DWORD value %s\n",
                         text.c_str(), arg.c_str());
            return kExitUsage;
        }
    }
    const std::string movedBefore = store.movedAsidePath();
    bool ok;
    if (inMainKey) {
        ok = s.write(def ? *def : settings::SettingDef{.name = name, .type = type},
                     number ? settings::Value::dword(*number) : settings::Value::sz(text));
    } else {
        s.keyExists(); // reports an unreadable file first
        ok = number ? store.setDword(key, name, *number) : store.setString(key, name, text);
        if (!ok)
            ctx.prompt->message("An error occurred setting the registry value\nHKEY_CURRENT_USER\n" + key +
                                "\\" + name);
    }
    noteMovedAside(ctx, store, movedBefore);
    return writeResult(ctx, store, ok);
}

// The first start without a window: only for a profile the first start has not finished setting
// up, so that no choice of the user's is overwritten.
int firstRun(Context& ctx, SettingsStore& store, settings::Settings& s, const Args& args)
{
    bool recommended = true;
    for (const auto& a : args) {
        if (a == "--recommended" || a == "--spec") {
            recommended = a == "--recommended";
        } else {
            std::fputs(kUsage, ctx.err);
            return kExitUsage;
        }
    }
    const std::string movedBefore = store.movedAsidePath();
    if (!session::isNewProfile(s)) {
        std::fprintf(ctx.err,
                     "varno-cli settings first-run: %s is not a new profile; nothing was changed "
                     "(change single values with settings set)\n",
                     store.path().c_str());
        return kExitFailure;
    }
    bool ok = s.keyExists() || s.writeDefaults();
    if (ok && recommended)
        ok = session::writeRecommendedProfile(s, session::measurementLocale());
    // Set up: the welcome page does not come again.
    if (ok)
        ok = s.write(settings::keys::FirstRunPending, false);
    noteMovedAside(ctx, store, movedBefore);
    bool foldersMade = true;
    if (ok)
        for (const std::string& failure :
             session::makeFolders(session::dataFolders(s, platform::dataRoot()))) {
            std::fprintf(ctx.err, "varno-cli settings first-run: could not make the folder %s\n",
                         failure.c_str());
            foldersMade = false;
        }
    const int result = writeResult(ctx, store, ok);
    if (result == kExitOk)
        std::fprintf(ctx.out, "%s: a new profile, %s\n", store.path().c_str(),
                     recommended ? "recommended for driving" : "with the defaults");
    return result == kExitOk && !foldersMade ? kExitFailure : result;
}

} // namespace

int cmdSettings(Context& ctx, const Args& args)
{
    if (args.empty()) {
        std::fputs(kUsage, ctx.err);
        return kExitUsage;
    }
    platform::PosixFileSync sync;
    SettingsStore store(ctx.settingsPath, &sync);
    settings::Settings s(store, *ctx.prompt);
    const std::string& verb = args[0];
    if (verb == "list" && args.size() == 1)
        return list(ctx, store, s);
    if (verb == "get" && args.size() == 2)
        return get(ctx, store, s, args[1]);
    if (verb == "set")
        return set(ctx, store, s, Args(args.begin() + 1, args.end()));
    if (verb == "first-run")
        return firstRun(ctx, store, s, Args(args.begin() + 1, args.end()));
    if (verb == "check-registry" && args.size() == 1) {
        const std::string movedBefore = store.movedAsidePath();
        bool ok = s.checkRegistry();
        noteMovedAside(ctx, store, movedBefore);
        return writeResult(ctx, store, ok);
    }
    std::fputs(kUsage, ctx.err);
    return kExitUsage;
}

} // namespace varno::cli
