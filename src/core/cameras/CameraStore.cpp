// The cameras around the vehicle: CameraList, its loader and the nearest-camera searches.
#include "cameras/CameraStore.h"

#include <new>
#include <utility>

#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "cameras/CameraDistance.h"

namespace varno::cameras {

CameraStore::CameraStore(settings::Settings& settings, Prompt& prompt, std::string dataRoot)
    : settings_(settings), prompt_(prompt), dataRoot_(std::move(dataRoot))
{
}

void CameraStore::beginReplay()
{
    replaying_ = true;
    failureShown_ = false;
}

Prompt& CameraStore::messages()
{
    return replaying_ && failureShown_ ? static_cast<Prompt&>(quiet_) : prompt_;
}

void CameraStore::fail(const std::string& message)
{
    messages().message(message);
    failureShown_ = true;
    if (stopGps)
        stopGps();
    CameraListBusy = false;
}

void CameraStore::LoadCameraList(double radiusM, geo::LatLon fix)
{
    nearest_.reset();
    nearestSpecs_.reset();
    if (!fix)
        return;
    const double radius = radiusM < kMinLoadRadius ? kMinLoadRadius : radiusM;
    const bool exclude = settings_.read(settings::keys::Exclude) == 1;
    if (CameraListBusy)
        return;
    CameraListBusy = true;

    std::vector<CameraPoint> previous;
    if (list_)
        previous = std::move(*list_);
    std::vector<std::uint32_t> previousEntries = std::move(listEntries_);
    listEntries_.clear();
    // Until this load succeeds, nothing it leaves behind counts as built from
    // the file: a load that fails after this point leaves an empty list that
    // the next load must not keep for "unchanged".
    const std::uint64_t previousGeneration = std::exchange(builtGeneration_, 0);
    const bool scanWasFresh = !scanStale_;
    list_.reset();
    scanStale_ = true;
    try {
        list_.emplace();
    } catch (const std::bad_alloc&) {
        fail("Argh ! Out of memory making the camera list.");
        return;
    }

    // The reader shows its own message first when the value is missing.
    std::optional<std::string> stored =
        cameraFileOverride ? cameraFileOverride : settings_.read(settings::keys::CameraFile);
    if (!stored) {
        fail(kNoCameraFileName);
        return;
    }
    const std::string path = mapDataPath(*stored, dataRoot_);
    switch (cache_.load(path)) {
    case CameraFileCache::Status::Ok:
        if (cache_.generation() != notedGeneration_) {
            notedGeneration_ = cache_.generation();
            if (const std::uint64_t cut = cache_.file().overlongLines(); cut > 0 && noted)
                noted(path + ": " + overlongLinesText(cut));
        }
        break;
    case CameraFileCache::Status::CannotOpen:
        fail(cantOpenCameraFile(path, cache_.refusal()));
        return;
    case CameraFileCache::Status::OutOfMemory:
        fail("Out of memory making the camera list.\nThe nearby camera list will be incomplete.");
        return;
    }

    try {
        std::vector<std::uint32_t> entries = cache_.file().selectEntries(fix, radius);
        const bool exclusion = exclude && excludedByRoute;
        const bool sameFile = previousGeneration == cache_.generation();
        // The route's answers may change between loads; only a list built
        // without asking it can be kept as it is.
        if (!exclusion && !builtWithExclusion_ && sameFile && entries == builtEntries_) {
            *list_ = std::move(previous);
            listEntries_ = std::move(previousEntries);
            // The same records at the same places: the searches' index holds.
            scanStale_ = !scanWasFresh;
        } else {
            // Both lists are in file order: one pass pairs the cameras still in range.
            const bool reuse = sameFile && previousEntries.size() == previous.size();
            std::size_t k = 0;
            listEntries_.reserve(entries.size());
            for (std::uint32_t entry : entries) {
                std::string_view line = cache_.file().line(entry);
                if (exclusion && excludedByRoute(line))
                    continue;
                while (reuse && k < previousEntries.size() && previousEntries[k] < entry)
                    ++k;
                if (reuse && k < previousEntries.size() && previousEntries[k] == entry)
                    list_->push_back(std::move(previous[k]));
                else
                    list_->push_back(parseCameraLine(line));
                listEntries_.push_back(entry);
            }
        }
        builtGeneration_ = cache_.generation();
        builtEntries_ = std::move(entries);
        builtWithExclusion_ = exclusion;
    } catch (const std::bad_alloc&) {
        // The cameras read so far stay listed, with nothing to pair them by.
        listEntries_.clear();
        fail("Out of memory making the camera list.\nThe nearby camera list will be incomplete.");
        return;
    }
    CameraReloadCount = 0;
    CameraListBusy = false;
    failureShown_ = false;
}

void CameraStore::rebuildScan()
{
    scan_.clear();
    specsScan_.clear();
    if (list_) {
        for (std::size_t i = 0; i < list_->size(); ++i) {
            const CameraPoint& c = (*list_)[i];
            // A listed camera whose kept position text reads 0 (an empty
            // Longitude field, say) has no distance; it must not stand for
            // "nearer than everything" and silence every warning around it.
            const geo::LatLon at = c.position();
            if (!at)
                continue;
            scan_.add(at, c.cosLat, i);
            if (c.isSpecs())
                specsScan_.add(at, c.cosLat, i);
        }
    }
    scan_.finish();
    specsScan_.finish();
    scanStale_ = false;
}

double CameraStore::NearestCamera(geo::LatLon fix)
{
    if (CameraListBusy || !fix || !list_)
        return kNoDistance;
    nearest_.reset();
    if (scanStale_)
        rebuildScan();
    return scan_.nearest(fix, kNoCameraDistance, nearest_);
}

double CameraStore::nearestWhere(geo::LatLon fix, const detail::NearestIndex::Filter& filter)
{
    if (CameraListBusy || !fix || !list_)
        return kNoDistance;
    nearest_.reset();
    if (scanStale_)
        rebuildScan();
    return scan_.nearest(fix, kNoCameraDistance, nearest_, filter);
}

double CameraStore::SelectCameraAt(geo::LatLon camera, geo::LatLon fix, std::size_t hint)
{
    if (CameraListBusy || !fix || !list_)
        return kNoDistance;
    nearest_.reset();
    const std::vector<CameraPoint>& list = *list_;
    if (hint >= list.size() || list[hint].position() != camera) {
        hint = 0;
        while (hint < list.size() && list[hint].position() != camera)
            ++hint;
        if (hint == list.size())
            return kNoCameraDistance;
    }
    nearest_ = hint;
    return CameraDistance(list[hint], fix);
}

double CameraStore::NearestSpecsCamera(geo::LatLon fix)
{
    nearestSpecs_.reset();
    if (CameraListBusy || !fix)
        return kNoDistance;
    if (!list_)
        return kNoCameraDistance;
    if (scanStale_)
        rebuildScan();
    return specsScan_.nearest(fix, kNoCameraDistance, nearestSpecs_);
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
