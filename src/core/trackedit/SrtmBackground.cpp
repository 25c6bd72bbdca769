// The SRTM height background of the track editor: a tile's samples coloured by
// their height modulo 256, laid out in window pixels.
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "trackedit/Background.h"

namespace varno::trackedit {
namespace {

// The colour of a sample from its low byte (void samples give 0: black).
std::uint32_t heightColour(unsigned c)
{
    auto opaque = [](unsigned r, unsigned g, unsigned b) { return 0xFF000000u | b << 16 | g << 8 | r; };
    if (c == 0)
        return opaque(0, 0, 0);
    if (c == 1)
        return opaque(255, 255, 255);
    if (c < 30)
        return opaque(50, (4 * c + 125) % 256, 50);
    return opaque((c + 200) / 3, ((c + 400) / 3) % 256, ((c + 300) / 2) % 256);
}

const std::array<std::uint32_t, 256>& colourTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (unsigned c = 0; c < 256; ++c)
            t[c] = heightColour(c);
        return t;
    }();
    return table;
}

} // namespace

std::optional<SrtmLayer> loadSrtmLayer(const std::string& path, std::string& message)
{
    std::optional<srtm::HgtTile> tile = srtm::readHgt(path, message);
    if (!tile)
        return std::nullopt;
    SrtmLayer layer;
    layer.tile = std::move(*tile);
    return layer;
}

void drawSrtm(views::Scene& scene, const SrtmLayer& layer, int width, int height)
{
    const srtm::HgtTile& tile = layer.tile;
    const int n = tile.size;
    if (n <= 0 || width <= 0 || height <= 0 || !(layer.divisor > 0) ||
        tile.samples.size() < static_cast<std::size_t>(n) * n)
        return;
    const int firstColumn = std::max(0, layer.firstColumn);
    const int firstRow = std::max(0, layer.firstRow);
    // Sample c lands on pixel (c - first) / divisor + 1; a later sample on the
    // same pixel covers an earlier one.
    auto pixel = [&](int sample, int first) {
        const double v = (sample - first) / layer.divisor + 1;
        return v < 1.0e9 ? static_cast<int>(v) : 1000000000;
    };
    std::vector<int> columnX;
    for (int c = firstColumn; c < n; ++c) {
        const int x = pixel(c, firstColumn);
        if (x >= width)
            break;
        columnX.push_back(x);
    }
    if (columnX.empty())
        return;
    const int lastY = std::min(height - 1, pixel(n - 1, firstRow));
    if (lastY < 1)
        return;
    auto image = std::make_shared<views::RasterImage>();
    image->width = columnX.back() + 1;
    image->height = lastY + 1;
    image->pixels.assign(static_cast<std::size_t>(image->width) * image->height,
                         0); // clear: shows what is below
    const auto& colours = colourTable();
    for (int r = firstRow; r < n; ++r) {
        const int y = pixel(r, firstRow);
        if (y >= image->height)
            break;
        std::uint32_t* row = image->pixels.data() + static_cast<std::size_t>(y) * image->width;
        const std::int16_t* samples = tile.samples.data() + static_cast<std::size_t>(r) * n + firstColumn;
        for (std::size_t i = 0; i < columnX.size(); ++i)
            row[columnX[i]] = colours[static_cast<std::uint16_t>(samples[i]) & 0xFF];
    }
    scene.add(views::RasterItem{std::move(image), 0, 0});
}

} // namespace varno::trackedit
