// The passed-camera list of a logged drive.
#include "cameras/PassedCameras.h"

#include <algorithm>
#include <unordered_map>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/LineReader.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraFileCache.h"
#include "cameras/CameraPoint.h"
#include "cameras/CameraStore.h"
#include "gps/NmeaChecksum.h"
#include "gps/NmeaField.h"
#include "gps/Presentation.h"

namespace varno::cameras {
namespace {

constexpr double kUnreached = 1000000.0;
constexpr double kSpeedDistanceM = 200.0;
constexpr int kReselectEvery = 100;

double toDisplaySpeed(double knots, int units)
{
    if (units == gps::kSpeedUnitsKph)
        return knots * gps::kKnotsToKph;
    if (units == gps::kSpeedUnitsKnots)
        return knots;
    return knots * gps::kKnotsToMph;
}

std::string speedLabel(double speed, int units)
{
    const char* unit = units == gps::kSpeedUnitsKph     ? "kph"
                       : units == gps::kSpeedUnitsKnots ? "knots"
                                                        : "mph";
    return fmt::sprintf("%.0f %s", speed, unit);
}

// "GGA" or "RMC" for such a sentence of a talker the decoder reads, with a
// good checksum; empty for any other line.
std::string_view sentenceType(std::string_view line)
{
    const std::string_view sentence = stripLineEnd(line);
    if (sentence.size() < 6 || sentence[0] != '$' || !gps::isGnssTalker(sentence.substr(1, 2)) ||
        !gps::NmeaChecksumOk(sentence))
        return {};
    const std::string_view type = sentence.substr(3, 3);
    return type == "GGA" || type == "RMC" ? type : std::string_view{};
}

} // namespace

std::optional<CameraFile> passedCameraFile(const std::optional<std::string>& path, std::string& message)
{
    if (!path) {
        message = kNoCameraFileName;
        return std::nullopt;
    }
    CameraFileCache cache;
    switch (cache.load(*path)) {
    case CameraFileCache::Status::Ok:
        return cache.file();
    case CameraFileCache::Status::CannotOpen:
        message = cantOpenCameraFile(*path, cache.refusal());
        return std::nullopt;
    case CameraFileCache::Status::OutOfMemory:
        break;
    }
    message = "Out of memory making the camera list.\nThe nearby camera list will be incomplete.";
    return std::nullopt;
}

std::vector<const PassedCamera*> PassedList::shown() const
{
    std::vector<const PassedCamera*> out;
    for (const PassedCamera& e : entries)
        if (e.closestM >= nearestM && e.closestM < kUnreached)
            out.push_back(&e);
    return out;
}

std::vector<std::vector<std::string>> PassedList::rows() const
{
    std::vector<std::vector<std::string>> out;
    int row = 0;
    for (const PassedCamera* e : shown())
        out.push_back({fmt::sprintf("%.3f km", e->closestM / 1000.0), e->name, fmt::format("{}", ++row),
                       e->speed >= 1.0 ? speedLabel(e->speed, speedUnits) : std::string()});
    out.insert(out.begin(), {fmt::format("List contains {} items", out.size()), "", "", ""});
    return out;
}

std::string PassedList::clipboardText(bool withDistances) const
{
    std::string text;
    for (const PassedCamera* e : shown()) {
        text += ":" + e->name;
        if (withDistances) {
            text += fmt::sprintf("\t\t%.3f km", e->closestM / 1000.0);
            if (e->speed >= 1.0)
                text += "\t\t" + speedLabel(e->speed, speedUnits);
        }
        text += "\r\n";
    }
    return text;
}

Report passedCameras(LineInput& log, const CameraFile& cameras, const PassedOptions& options,
                     PassedList& list, Progress& progress)
{
    list = PassedList{};
    list.nearestM = options.nearestM;
    list.speedUnits = options.speedUnits;
    Report report;
    if (options.farthestM < options.nearestM)
        return Report::failed(kNearestAboveFarthest);

    // The farthest distance is compared as a whole number, as it always was.
    const double farthest = static_cast<double>(static_cast<long long>(options.farthestM));
    const double radius = std::max(2.0 * options.farthestM, kMinLoadRadius);
    std::unordered_map<std::string, std::size_t> byName;
    std::vector<CameraPoint> store;
    double speed = 0.0;
    int counter = kReselectEvery;
    std::string line;
    while (log.next(line, 299)) {
        ++report.linesIn;
        if (!progress.update(log.done(), log.total())) {
            report.status = Report::Status::Cancelled;
            report.message = kCancelled;
            return report;
        }
        const std::string_view type = sentenceType(line);
        if (type == "RMC") {
            speed = toDisplaySpeed(gps::nmeaNumber(gps::nmeaFieldView(line, 7)), options.speedUnits);
            continue;
        }
        if (type != "GGA")
            continue;
        // A GGA whose fix quality is 0 carries a position the receiver itself
        // calls invalid: no camera is passed by it.
        const std::string_view quality = gps::nmeaFieldView(line, 6);
        if (quality == "0")
            continue;
        const gps::NmeaAngle lat =
            gps::nmeaLatitude(gps::nmeaFieldView(line, 2), gps::nmeaFieldView(line, 3));
        const gps::NmeaAngle lon =
            gps::nmeaLongitude(gps::nmeaFieldView(line, 4), gps::nmeaFieldView(line, 5));
        const geo::LatLon here = geo::LatLon::ofFix(lat.value.value_or(0.0), lon.value.value_or(0.0));
        // Without a position (no fix yet, or lost) nothing can be measured, and
        // a store selected around no position would stay empty for 100 GGAs.
        if (!here || !lon.value)
            continue;
        if (counter >= kReselectEvery) {
            store.clear();
            for (const std::string_view camera : cameras.select(here, radius))
                store.push_back(parseCameraLine(camera));
            counter = 0;
        } else {
            ++counter;
        }
        for (const CameraPoint& camera : store) {
            const double d = CameraDistance(camera, here);
            if (d == kNoDistance || d > farthest)
                continue;
            auto [it, added] = byName.try_emplace(camera.CamType, list.entries.size());
            if (added)
                list.entries.push_back({camera.CamType, kUnreached, 0.0});
            PassedCamera& entry = list.entries[it->second];
            if (d < entry.closestM) {
                entry.closestM = d;
                if (d < kSpeedDistanceM)
                    entry.speed = speed;
            }
        }
    }
    report.linesOut = list.shown().size();
    report.message = "Finished";
    return report;
}

} // namespace varno::cameras
