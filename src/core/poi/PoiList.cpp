#include "poi/PoiList.h"

#include <cmath>
#include <cstdio>
#include <fmt/format.h>
#include <new>
#include <set>
#include <system_error>

#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/Numbers.h"

namespace varno::poi {
namespace {

namespace keys = settings::keys;

constexpr std::string_view kValuePrefix = "POIFile";
// The folder and a file name together, as the path buffer holds them.
constexpr std::size_t kPathLimit = 298;
// Flat metres per degree of the list dialog's distance (no cosine).
constexpr double kListMetresNorth = 110945.90800966838;
constexpr double kListMetresEast = 111319.14001027387;

} // namespace

std::string cannotOpenMessage(const std::string& path)
{
    return "Error can't open the POI location file\n" + path + "\nPlease check the setup/registry.";
}

std::shared_ptr<const PoiFile> PoiList::fileAt(const std::string& path, std::string& refusal,
                                               bool& outOfMemory)
{
    namespace fs = std::filesystem;
    std::error_code ec1, ec2;
    const std::uintmax_t size = fs::file_size(path, ec1);
    const fs::file_time_type mtime = fs::last_write_time(path, ec2);
    const bool statOk = !ec1 && !ec2;
    auto it = cache_.find(path);
    if (statOk && it != cache_.end() && it->second.size == size && it->second.mtime == mtime)
        return it->second.file;
    if (it != cache_.end())
        cache_.erase(it);

    const FileHandle f = openForReading(path, &refusal);
    if (!f)
        return nullptr;
    try {
        std::string text;
        if (statOk)
            text.reserve(size);
        char buf[1 << 16];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0)
            text.append(buf, got);
        if (std::ferror(f.get()))
            return nullptr;
        auto file = std::make_shared<const PoiFile>(std::move(text));
        ++reads_;
        // Only a file whose size and time are known can be recognised next time.
        if (statOk)
            cache_[path] = Cached{file, size, mtime};
        return file;
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (const std::length_error&) {
        outOfMemory = true;
    }
    return nullptr;
}

PoiList::Status PoiList::load(geo::LatLon fix, double radiusM, settings::Settings& settings, Prompt& prompt,
                              const std::string& dataRoot)
{
    if (!fix)
        return Status::NoFix;
    free();
    held_ = true;

    const std::optional<std::string> folder = settings.read(keys::POIFolder);
    if (!folder) {
        prompt.message(std::string(kNoFolderMessage));
        return Status::NoFolder;
    }
    auto& store = settings.store();
    if (!store.keyExists(settings::kPoiFilesKey))
        store.createKey(settings::kPoiFilesKey);

    std::set<std::string> used;
    Status status = Status::Loaded;
    for (const settings::NamedValue& v : store.values(settings::kPoiFilesKey)) {
        if (!v.name.starts_with(kValuePrefix) || v.value.type != settings::ValueType::Sz)
            continue;
        const std::string& name = v.value.text;
        if (folder->size() + name.size() > kPathLimit) {
            prompt.message(std::string(kNameTooLongMessage));
            status = Status::NameTooLong;
            break;
        }
        const std::string stored = *folder + "\\" + name;
        const std::string path = mapDataPath(stored, dataRoot);
        std::string refusal;
        bool outOfMemory = false;
        const auto file = fileAt(path, refusal, outOfMemory);
        if (outOfMemory) {
            prompt.message(std::string(kOutOfMemoryMessage));
            status = Status::OutOfMemory;
            break;
        }
        if (!file) {
            prompt.message(cannotOpenMessage(nameWithRefusal(path, refusal)));
            status = Status::CannotOpen;
            break;
        }
        used.insert(path);
        try {
            for (std::uint32_t e : file->select(fix, radiusM))
                points_.push_back(parsePoiLine(file->line(e)));
        } catch (const std::bad_alloc&) {
            prompt.message(std::string(kOutOfMemoryMessage));
            status = Status::OutOfMemory;
            break;
        }
    }
    // Files no longer selected are not kept.
    if (status == Status::Loaded)
        std::erase_if(cache_, [&](const auto& kv) { return !used.contains(kv.first); });
    return status;
}

void PoiList::free()
{
    points_.clear();
    points_.shrink_to_fit();
    held_ = false;
}

std::vector<NearPoiRow> nearPoiRows(const PoiList& list, geo::LatLon fix)
{
    std::vector<NearPoiRow> rows;
    if (!list.held()) {
        rows.push_back({"Poi list is empty", "", "", ""});
        return rows;
    }
    rows.reserve(list.points().size() + 1);
    for (const PoiPoint& p : list.points()) {
        NearPoiRow r{p.latText, p.lonText, p.description, ""};
        const double lat = leadingDouble(p.latText), lon = leadingDouble(p.lonText);
        if (fix && fix.latDeg() != 0.0 && fix.lonDeg() != 0.0 && lat != 0.0 && lon != 0.0) {
            const double north = (lat - fix.latDeg()) * kListMetresNorth;
            const double east = (lon - fix.lonDeg()) * kListMetresEast;
            r.distance = fmt::format("{:.3f} km", std::sqrt(north * north + east * east) / 1000.0);
        }
        rows.push_back(std::move(r));
    }
    rows.push_back({});
    return rows;
}

} // namespace varno::poi
