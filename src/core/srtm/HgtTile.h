// SRTM height tiles (.hgt): square grids of big-endian 16-bit heights, north row first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::srtm {

inline constexpr std::int16_t kVoid = -32768;

struct HgtTile {
    int size = 0;                      // samples per side: 1201 (3 arc-seconds) or 3601 (1 arc-second)
    std::vector<std::int16_t> samples; // row * size + column, row 0 the north edge
    double originLat = 50.0;           // south-west corner [deg]
    double originLon = -2.0;

    std::int16_t at(int row, int column) const
    {
        return samples[static_cast<std::size_t>(row) * size + column];
    }
};

// The south-west corner a tile's file name gives ("N51W002.hgt": 51, -2), or
// nullopt for a name of another form.
std::optional<std::pair<double, double>> originFromName(std::string_view path);

// A tile from its bytes: only the two standard sizes are accepted; message says why not.
std::optional<HgtTile> parseHgt(std::string_view bytes, std::string_view path, std::string& message);
// Reads and parses the file at path; message names it on failure.
std::optional<HgtTile> readHgt(const std::string& path, std::string& message);

} // namespace varno::srtm
