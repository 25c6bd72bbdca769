#include "poi/PoiList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fmt/format.h>
#include <atomic>
#include <new>
#include <thread>
#include <set>
#include <system_error>

#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
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

PoiList::Read PoiList::readFile(const std::string& path)
{
    namespace fs = std::filesystem;
    Read r;
    std::error_code ec1, ec2;
    r.size = fs::file_size(path, ec1);
    r.mtime = fs::last_write_time(path, ec2);
    r.statOk = !ec1 && !ec2;
    const FileHandle f = openForReading(path, &r.refusal);
    if (!f)
        return r;
    try {
        std::string text;
        if (r.statOk)
            text.reserve(r.size);
        char buf[1 << 16];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0)
            text.append(buf, got);
        if (std::ferror(f.get()))
            return r;
        r.file = std::make_shared<const PoiFile>(std::move(text));
    } catch (const std::bad_alloc&) {
        r.outOfMemory = true;
    } catch (const std::length_error&) {
        r.outOfMemory = true;
    }
    return r;
}

bool PoiList::fresh(const std::string& path) const
{
    namespace fs = std::filesystem;
    const auto it = cache_.find(path);
    if (it == cache_.end())
        return false;
    std::error_code ec1, ec2;
    const std::uintmax_t size = fs::file_size(path, ec1);
    const fs::file_time_type mtime = fs::last_write_time(path, ec2);
    return !ec1 && !ec2 && it->second.size == size && it->second.mtime == mtime;
}

void PoiList::readAhead(const std::vector<std::string>& paths)
{
    std::vector<std::string> stale;
    for (const std::string& p : paths)
        if (!fresh(p) && std::find(stale.begin(), stale.end(), p) == stale.end())
            stale.push_back(p);
    if (stale.size() < 2)
        return;
    // Files that changed are read and indexed side by side; the load then
    // takes them in order as if it had read them itself.
    std::vector<Read> results(stale.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < stale.size();)
            results[i] = readFile(stale[i]);
    };
    const std::size_t workers =
        std::min<std::size_t>(stale.size(), std::max(1u, std::thread::hardware_concurrency())) - 1;
    std::vector<std::thread> threads;
    try {
        for (std::size_t k = 0; k < workers; ++k)
            threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer helpers: this thread reads the rest.
    }
    work();
    for (std::thread& t : threads)
        t.join();
    for (std::size_t i = 0; i < stale.size(); ++i)
        readAhead_[stale[i]] = std::move(results[i]);
}

std::shared_ptr<const PoiFile> PoiList::fileAt(const std::string& path, std::string& refusal,
                                               bool& outOfMemory)
{
    if (fresh(path))
        return cache_.find(path)->second.file;
    cache_.erase(path);
    Read r;
    if (auto it = readAhead_.find(path); it != readAhead_.end()) {
        r = std::move(it->second);
        readAhead_.erase(it);
    } else {
        r = readFile(path);
    }
    refusal = r.refusal;
    outOfMemory = r.outOfMemory;
    if (!r.file)
        return nullptr;
    ++reads_;
    if (const std::uint64_t cut = r.file->overlongLines(); cut > 0 && noted)
        noted(path + ": " + overlongLinesText(cut));
    // Only a file whose size and time are known can be recognised next time.
    if (r.statOk)
        cache_[path] = Cached{r.file, r.size, r.mtime};
    return r.file;
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

    const std::vector<settings::NamedValue> values = store.values(settings::kPoiFilesKey);
    {
        std::vector<std::string> paths;
        for (const settings::NamedValue& v : values) {
            if (!v.name.starts_with(kValuePrefix) || v.value.type != settings::ValueType::Sz)
                continue;
            if (folder->size() + v.value.text.size() > kPathLimit)
                break;
            paths.push_back(mapDataPath(*folder + "\\" + v.value.text, dataRoot));
        }
        readAhead(paths);
    }

    std::set<std::string> used;
    Status status = Status::Loaded;
    for (const settings::NamedValue& v : values) {
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
    readAhead_.clear();
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
