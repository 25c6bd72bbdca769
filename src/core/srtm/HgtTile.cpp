// Reading .hgt tiles.
#include "srtm/HgtTile.h"

#include <fmt/format.h>

#include "base/InputFile.h"

namespace varno::srtm {
namespace {

std::string wrongSize(std::string_view path, std::uintmax_t size)
{
    return fmt::format(
        "Error: {} is not an SRTM height file: {} bytes, where a tile has {} (3 arc-seconds) or {} "
        "(1 arc-second).",
        path, size, 1201 * 1201 * 2, 3601 * 3601 * 2);
}

} // namespace

std::optional<std::pair<double, double>> originFromName(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    auto digits = [&](std::size_t from, std::size_t count) -> std::optional<int> {
        if (name.size() < from + count)
            return std::nullopt;
        int v = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (name[i] < '0' || name[i] > '9')
                return std::nullopt;
            v = v * 10 + (name[i] - '0');
        }
        return v;
    };
    if (name.size() < 7)
        return std::nullopt;
    const char ns = static_cast<char>(name[0] & ~0x20), ew = static_cast<char>(name[3] & ~0x20);
    const auto lat = digits(1, 2), lon = digits(4, 3);
    if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W') || !lat || !lon)
        return std::nullopt;
    return std::pair{ns == 'S' ? -*lat : *lat, ew == 'W' ? -*lon : *lon};
}

std::optional<HgtTile> parseHgt(std::string_view bytes, std::string_view path, std::string& message)
{
    HgtTile tile;
    for (const int size : {1201, 3601})
        if (bytes.size() == static_cast<std::size_t>(size) * size * 2)
            tile.size = size;
    if (tile.size == 0) {
        message = wrongSize(path, bytes.size());
        return std::nullopt;
    }
    tile.samples.resize(static_cast<std::size_t>(tile.size) * tile.size);
    for (std::size_t i = 0; i < tile.samples.size(); ++i)
        tile.samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(
            static_cast<unsigned char>(bytes[2 * i]) << 8 | static_cast<unsigned char>(bytes[2 * i + 1])));
    if (const auto origin = originFromName(path)) {
        tile.originLat = origin->first;
        tile.originLon = origin->second;
    }
    return tile;
}

std::optional<HgtTile> readHgt(const std::string& path, std::string& message)
{
    std::string refusal;
    FileHandle f = openForReading(path, &refusal);
    if (!f) {
        message = "Error can't open source file\n" + nameWithRefusal(path, refusal);
        return std::nullopt;
    }
    // The size is checked before anything is read: a wrong file is never held.
    std::fseek(f.get(), 0, SEEK_END);
    const long size = std::ftell(f.get());
    std::rewind(f.get());
    if (size != 1201L * 1201 * 2 && size != 3601L * 3601 * 2) {
        message = wrongSize(path, static_cast<std::uintmax_t>(size));
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(f.get())) {
        message = "Error can't open source file\n" + path + ": read error";
        return std::nullopt;
    }
    return parseHgt(bytes, path, message);
}

} // namespace varno::srtm
