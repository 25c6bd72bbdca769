// The cameras around the vehicle: CameraList, its loader and the nearest-camera searches.
#include "cameras/CameraStore.h"

#include <new>

#include "base/DataPath.h"
#include "cameras/CameraDistance.h"
#include "cameras/SettingsReaders.h"

namespace varno::cameras {

CameraStore::CameraStore(WarnerSettings& settings, Prompt& prompt, std::string dataRoot)
    : settings_(settings), prompt_(prompt), dataRoot_(std::move(dataRoot))
{
}

void CameraStore::fail(const std::string& message)
{
    prompt_.message(message);
    if (stopGps)
        stopGps();
    CameraListBusy = false;
}

void CameraStore::LoadCameraList(double radius, double fixLat, double fixLon)
{
    nearest_.reset();
    nearestSpecs_.reset();
    if (fixLat == 0.0)
        return;
    if (radius < kMinLoadRadius)
        radius = kMinLoadRadius;
    const bool exclude = readNumber(settings_, "Exclude", 0) == 1;
    if (CameraListBusy)
        return;
    CameraListBusy = true;

    std::vector<CameraPoint> previous;
    if (list_)
        previous = std::move(*list_);
    list_.reset();
    try {
        list_.emplace();
    } catch (const std::bad_alloc&) {
        fail("Argh ! Out of memory making the camera list.");
        return;
    }

    // The reader shows its own message first when the value is missing.
    std::optional<std::string> stored =
        cameraFileOverride ? cameraFileOverride
                           : readFileName(settings_, prompt_, "CameraFile",
                                          "Unable read the camera file name from the registry.");
    if (!stored) {
        fail("Error can't get the camera filename from the registry.\nPlease check the setup/registry.");
        return;
    }
    const std::string path = mapDataPath(*stored, dataRoot_);
    switch (cache_.load(path)) {
    case CameraFileCache::Status::Ok:
        break;
    case CameraFileCache::Status::CannotOpen:
        fail("Error can't open the camera location file\n" + path + "\nPlease check the setup/registry.");
        return;
    case CameraFileCache::Status::OutOfMemory:
        fail("Out of memory making the camera list.\nThe nearby camera list will be incomplete.");
        return;
    }

    try {
        std::vector<std::uint32_t> entries = cache_.file().selectEntries(fixLat, fixLon, radius);
        const bool exclusion = exclude && excludedByRoute;
        // The route's answers may change between loads; only a list built
        // without asking it can be kept as it is.
        if (!exclusion && !builtWithExclusion_ && builtGeneration_ == cache_.generation() &&
            entries == builtEntries_) {
            *list_ = std::move(previous);
        } else {
            for (std::uint32_t entry : entries) {
                std::string_view line = cache_.file().line(entry);
                if (exclusion && excludedByRoute(line))
                    continue;
                list_->push_back(parseCameraLine(line));
            }
        }
        builtGeneration_ = cache_.generation();
        builtEntries_ = std::move(entries);
        builtWithExclusion_ = exclusion;
    } catch (const std::bad_alloc&) {
        // The cameras read so far stay listed.
        builtWithExclusion_ = true;
        fail("Out of memory making the camera list.\nThe nearby camera list will be incomplete.");
        return;
    }
    CameraReloadCount = 0;
    CameraListBusy = false;
}

double CameraStore::NearestCamera(double fixLat, double fixLon)
{
    if (CameraListBusy || fixLat == 0.0 || !list_)
        return kNoDistance;
    double best = kNoCameraDistance;
    nearest_.reset();
    for (std::size_t i = 0; i < list_->size(); ++i) {
        double d = CameraDistance((*list_)[i], fixLat, fixLon);
        // A listed camera whose kept position text reads 0 (an empty
        // Longitude field, say) has no distance; it must not stand for
        // "nearer than everything" and silence every warning around it.
        if (d == kNoDistance)
            continue;
        if (d < best) {
            best = d;
            nearest_ = i;
        }
    }
    return best;
}

double CameraStore::NearestSpecsCamera(double fixLat, double fixLon)
{
    nearestSpecs_.reset();
    if (CameraListBusy || fixLat == 0.0)
        return kNoDistance;
    if (!list_)
        return kNoCameraDistance;
    double best = kNoCameraDistance;
    for (std::size_t i = 0; i < list_->size(); ++i) {
        const CameraPoint& c = (*list_)[i];
        if (!c.isSpecs())
            continue;
        double d = CameraDistance(c, fixLat, fixLon);
        if (d == kNoDistance)
            continue;
        if (d < best) {
            best = d;
            nearestSpecs_ = i;
        }
    }
    return best;
}

const CameraPoint* CameraStore::nearestCamera() const
{
    return nearest_ && list_ && *nearest_ < list_->size() ? &(*list_)[*nearest_] : nullptr;
}

const CameraPoint* CameraStore::nearestSpecsCamera() const
{
    return nearestSpecs_ && list_ && *nearestSpecs_ < list_->size() ? &(*list_)[*nearestSpecs_] : nullptr;
}

} // namespace varno::cameras
