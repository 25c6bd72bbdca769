// The POI list: the points of interest of the selected POI files around the fix.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "poi/PoiFile.h"
#include "settings/Settings.h"

namespace varno::poi {

// The messages of a rebuild.
inline constexpr std::string_view kNoFolderMessage =
    "Error can't get the POI folder name from the registry.\nPlease check the setup/registry.";
inline constexpr std::string_view kNameTooLongMessage =
    "Error the combined length of the\nPOI folder name and a POI file name\nexceeds 299 bytes";
inline constexpr std::string_view kOutOfMemoryMessage =
    "Argh! Out of memory making the POI list.\nThe nearby POI list will be incomplete.";
// "Error can't open the POI location file\n" + path + "\nPlease check the setup/registry."
std::string cannotOpenMessage(const std::string& path);

// Held only while the POI view is shown. Each rebuild reads the selected
// files (the "POIFile..." values of the POIFiles key, in their stored order)
// from the POI folder and keeps, file by file and in file order, the POIs
// within the radius of the fix. Files are kept parsed between rebuilds and
// read again only when their size or modification time changed.
class PoiList {
public:
    enum class Status {
        Loaded,      // every selected file was read
        NoFix,       // no fix position: the list was left as it was
        NoFolder,    // POIFolder could not be read
        NameTooLong, // folder and file name too long: the files before it stay
        CannotOpen,  // a file could not be opened: the files before it stay
        OutOfMemory, // the files before it stay
    };

    // Rebuilds the list. Shows the failures through prompt; the caller stops
    // the GPS when stopsGps(status), and sets the camera reload count to 0
    // after Loaded.
    Status load(geo::LatLon fix, double radiusM, settings::Settings& settings, Prompt& prompt,
                const std::string& dataRoot);
    static bool stopsGps(Status s)
    {
        return s == Status::NoFolder || s == Status::CannotOpen || s == Status::OutOfMemory;
    }
    // Told once per reading of a POI file that had lines too long to be
    // records: their rest was dropped ("<path>: N over-long lines cut short").
    std::function<void(const std::string& note)> noted;

    // Frees the list: no list is held afterwards.
    void free();

    bool held() const { return held_; }
    // The POIs, without the terminal record the list dialog shows as a blank row.
    const std::vector<PoiPoint>& points() const { return points_; }
    // How many times a file was actually read and parsed (for tests and figures).
    std::uint64_t fileReads() const { return reads_; }

private:
    struct Cached {
        std::shared_ptr<const PoiFile> file;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type mtime{};
    };
    struct Read {
        std::shared_ptr<const PoiFile> file; // null when it could not be read
        std::string refusal;
        bool outOfMemory = false;
        bool statOk = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type mtime{};
    };
    static Read readFile(const std::string& path);
    // In the cache and unchanged on disk.
    bool fresh(const std::string& path) const;
    // Reads the files of paths that are not fresh, on several threads.
    void readAhead(const std::vector<std::string>& paths);
    // The parsed file at path, from the cache when unchanged; null when it
    // cannot be opened (refusal says why, if it was refused).
    std::shared_ptr<const PoiFile> fileAt(const std::string& path, std::string& refusal, bool& outOfMemory);

    std::vector<PoiPoint> points_;
    bool held_ = false;
    std::map<std::string, Cached> cache_;
    std::map<std::string, Read> readAhead_;
    std::uint64_t reads_ = 0;
};

// One row of the "Near POI List" dialog: latitude text, longitude text,
// description and distance ("%.3f km", empty unless the fix and the POI's
// coordinates are all non-zero). One "Poi list is empty" row without a list;
// otherwise a blank row after the POIs.
struct NearPoiRow {
    std::string latitude, longitude, description, distance;
};
std::vector<NearPoiRow> nearPoiRows(const PoiList& list, geo::LatLon fix);

} // namespace varno::poi
