// A camera file parsed once and indexed by position, so a reload selects from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geo/IndexedLineFile.h"
#include "geo/LatLon.h"

namespace varno::cameras {

// What the camera store and the passed-camera list say when the camera file
// cannot be had: no name stored, or a file that will not open (path, with the
// reason when the open was refused with one).
inline constexpr char kNoCameraFileName[] =
    "Error can't get the camera filename from the registry.\nPlease check the setup/registry.";
std::string cantOpenCameraFile(const std::string& path, const std::string& refusal);

// The lines of a camera file that carry a position, with a grid over them.
//
// Lines are read as geo::IndexedLineFile reads them, at most 298 bytes of
// each (the rest of a longer line is dropped). A line's position is its first two non-empty
// comma-separated tokens (runs of commas count as one separator here), each
// read as a leading decimal number; lines without two tokens, or whose
// latitude or longitude reads 0, carry no camera and are dropped.
class CameraFile {
public:
    // The line limit the camera file has always been read with.
    static constexpr std::size_t kLineLimit = 299;

    CameraFile() = default;
    explicit CameraFile(std::string text);

    // The lines, with their line ends removed, of the cameras within radiusM
    // metres of the fix (CameraDistance <= radiusM; a camera exactly at the
    // radius is in), in file order. None without a fix position.
    std::vector<std::string_view> select(geo::LatLon fix, double radiusM) const;
    // The same as entry numbers (for line()).
    std::vector<std::uint32_t> selectEntries(geo::LatLon fix, double radiusM) const;

    std::size_t size() const { return lines_.size(); }
    std::string_view line(std::size_t entry) const { return lines_.line(entry); }
    // Lines longer than the limit, whose rest was dropped.
    std::uint64_t overlongLines() const { return lines_.overlongLines(); }

    // The position of a line by the rule above.
    static geo::LatLon linePosition(std::string_view line);

private:
    geo::IndexedLineFile lines_;
};

} // namespace varno::cameras
