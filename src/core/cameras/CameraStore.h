// The cameras around the vehicle: CameraList, its loader and the nearest-camera searches.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Prompt.h"
#include "cameras/CameraFileCache.h"
#include "cameras/CameraPoint.h"
#include "settings/Settings.h"
#include "cameras/detail/NearestIndex.h"

namespace varno::cameras {

// Cameras are always selected within at least this many metres.
inline constexpr double kMinLoadRadius = 4000.0;
// NearestCamera / NearestSpecsCamera when no camera qualifies.
inline constexpr double kNoCameraDistance = 20000000.0;
// CameraReloadCount at start-up: the first processed fix loads the list.
inline constexpr int kInitialReloadCount = 10000;

// The list of cameras within the load radius of the fix, in file order.
// nullopt: no list has been built since start-up.
using CameraList = std::optional<std::vector<CameraPoint>>;

class CameraStore {
public:
    CameraStore(settings::Settings& settings, Prompt& prompt, std::string dataRoot);

    // Rebuilds CameraList around the fix with every camera within
    // max(radiusM, 4000) metres. Without a fix position only the nearest
    // links are cleared. Failures are shown, GPS input is stopped (stopGps).
    void LoadCameraList(double radiusM, geo::LatLon fix);

    // [m] to the nearest listed camera, which becomes nearestCamera():
    // -1.0 while busy, without a position or before any list was built;
    // 20000000.0 when no listed camera has a distance. The first of equally
    // near cameras wins.
    double NearestCamera(geo::LatLon fix);
    // The same over the specs cameras (CamType starting "Specs"); 20000000.0
    // also before any list was built.
    double NearestSpecsCamera(geo::LatLon fix);

    // The same over the listed cameras `accept(const CameraPoint&)` takes;
    // 20000000.0 when it takes none. Asked only of cameras nearer than the
    // best taken so far.
    template <class Accept> double NearestCameraWhere(geo::LatLon fix, const Accept& accept)
    {
        const CameraList* list = &list_;
        const auto test = [&](std::size_t i) { return accept((**list)[i]); };
        using Test = decltype(test);
        return nearestWhere(
            fix, {[](const void* t, std::size_t i) { return (*static_cast<const Test*>(t))(i); }, &test});
    }
    // The listed camera at this position becomes nearestCamera(); [m] to it
    // from the fix, or 20000000.0 when no listed camera is there (or -1.0 as
    // NearestCamera). `hint`: where it was in the list last time.
    double SelectCameraAt(geo::LatLon camera, geo::LatLon fix, std::size_t hint = 0);
    // No camera is nearestCamera() until the next search.
    void forgetNearest() { nearest_.reset(); }
    // Where nearestCamera() is in the list.
    std::optional<std::size_t> nearestIndex() const { return nearest_; }

    const CameraList& cameras() const { return list_; }
    const CameraPoint* nearestCamera() const;
    const CameraPoint* nearestSpecsCamera() const;

    // Set while LoadCameraList runs (its messages may deliver further fixes).
    bool CameraListBusy = false;
    // Fixes since the last complete load; see CameraWarner.
    int CameraReloadCount = kInitialReloadCount;

    // Stops GPS input after a load failure.
    std::function<void()> stopGps;
    // Told once per reading of the camera file that had lines too long to be
    // records: their rest was dropped ("<path>: N over-long lines cut short").
    std::function<void(const std::string& note)> noted;
    // Whether the current route excludes the camera of this raw line; asked
    // only when the Exclude setting reads 1. Until a route fills it: never.
    std::function<bool(std::string_view rawLine)> excludedByRoute;

    // A camera file used instead of the CameraFile setting (varno-cli --cameras).
    std::optional<std::string> cameraFileOverride;

    // A replay feeds fixes whatever stopGps does, so a load that fails fails
    // again on every line. From beginReplay() to endReplay() a failure is
    // shown once; the loads after it fail quietly until one succeeds.
    void beginReplay();
    void endReplay() { replaying_ = false; }

    // Files read and parsed so far (a reload of an unchanged file reads none).
    std::uint64_t fileParseCount() const { return cache_.parseCount(); }

private:
    void fail(const std::string& message);
    // Where the messages of a load go: nowhere after a failure the current
    // replay has shown already.
    Prompt& messages();
    // Refills the scan lists from list_ after it changed.
    void rebuildScan();

    settings::Settings& settings_;
    Prompt& prompt_;
    SilentPrompt quiet_;
    bool replaying_ = false;
    bool failureShown_ = false;
    std::string dataRoot_;
    CameraList list_;
    double nearestWhere(geo::LatLon fix, const detail::NearestIndex::Filter& filter);

    std::optional<std::size_t> nearest_;
    std::optional<std::size_t> nearestSpecs_;
    CameraFileCache cache_;
    std::uint64_t notedGeneration_ = 0;
    // What the list was last built from, so an unchanged selection from an
    // unchanged file keeps the records instead of building them again.
    std::uint64_t builtGeneration_ = 0;
    std::vector<std::uint32_t> builtEntries_;
    bool builtWithExclusion_ = true;
    // The file entry of each listed record: a reload moves the records of
    // cameras still in range instead of parsing their lines again.
    std::vector<std::uint32_t> listEntries_;
    // The listed cameras that have a position, and the specs cameras among
    // them, for the per-fix searches; stale after every change of list_.
    detail::NearestIndex scan_;
    detail::NearestIndex specsScan_;
    bool scanStale_ = true;
};

} // namespace varno::cameras
