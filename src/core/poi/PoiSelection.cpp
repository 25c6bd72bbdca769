#include "poi/PoiSelection.h"

#include <algorithm>
#include <filesystem>
#include <fmt/format.h>
#include <system_error>

#include "base/DataPath.h"

namespace varno::poi {
namespace {

namespace keys = settings::keys;
constexpr std::string_view kValuePrefix = "POIFile";
// The dialog reads each stored name into 100 bytes, the folder into 300.
constexpr std::size_t kStoredNameLimit = 99;
constexpr std::size_t kFolderListLimit = 296;
constexpr std::size_t kMoveLimit = 300;

std::string valueName(std::size_t n)
{
    return fmt::format("{}{}", kValuePrefix, n);
}

} // namespace

PoiSelection readPoiSelection(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot)
{
    PoiSelection sel;
    auto& store = settings.store();
    const auto count = settings.read(keys::POIFileNameCount);
    for (std::int64_t n = 1; n <= count; ++n) {
        const auto v = store.get(settings::kPoiFilesKey, valueName(static_cast<std::size_t>(n)));
        if (!v || v->type != settings::ValueType::Sz || v->text.size() > kStoredNameLimit) {
            prompt.message("Unable to read the POI folder file name from the registry.");
            continue;
        }
        sel.selected.push_back(v->text);
    }
    const auto folder = settings.read(keys::POIFolder);
    if (!folder)
        return sel;
    if (folder->size() >= kFolderListLimit) {
        prompt.message("The Poi folder path is too long\nit must be less than 296 "
                       "characters.\nUnable to list filder contents.");
        return sel;
    }
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(mapDataPath(*folder, dataRoot), ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (std::find(sel.selected.begin(), sel.selected.end(), name) == sel.selected.end())
            sel.available.push_back(std::move(name));
    }
    std::sort(sel.available.begin(), sel.available.end());
    return sel;
}

bool canMovePoiName(const std::string& name, Prompt& prompt)
{
    if (name.size() < kMoveLimit)
        return true;
    prompt.message(std::string(kNameTooLongToMove));
    return false;
}

unsigned storePoiSelection(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot,
                           const std::vector<std::string>& selected)
{
    auto& store = settings.store();
    const auto folder = settings.read(keys::POIFolder).value_or(std::string());
    settings::SettingsStore::Batch batch(store);
    batch.createKey(settings::kPoiFilesKey);
    for (const settings::NamedValue& v : store.values(settings::kPoiFilesKey))
        if (v.name.starts_with(kValuePrefix))
            batch.deleteValue(settings::kPoiFilesKey, v.name);
    unsigned written = 0;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        std::error_code ec;
        const std::string path = mapDataPath(folder + "\\" + selected[i], dataRoot);
        if (!std::filesystem::exists(path, ec))
            continue;
        batch.setString(settings::kPoiFilesKey, valueName(i + 1), selected[i]);
        ++written;
    }
    if (!batch.commit()) {
        prompt.message("An error occurred writing the POI\nfilenames to the registry.");
        written = 0;
    }
    if (!settings.write(keys::POIFileNameCount, written))
        prompt.message("An error occurred writing the POI\nfile count to the registry "
                       "(POIFileNameCount).");
    return written;
}

} // namespace varno::poi
