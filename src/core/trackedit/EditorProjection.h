// Where a position lands in the track editor: an equirectangular projection in
// metres, scaled by pixels per metre, with its origin at the map's top left.
#pragma once

#include <algorithm>
#include <cmath>

namespace varno::trackedit {

struct EditorProjection {
    // The map starts below the header and the top button bar.
    static constexpr int kMapTop = 134;

    double leftLonDeg = 0.0; // longitude at x = 0
    double topLatDeg = 0.0;  // latitude at y = 0 (screen y = kMapTop)
    double scale = 1.0;      // [px/m]
    int width = 0;           // [px] the view's client area
    int height = 0;

    // Untranslated x and y of a position, truncated toward zero. Values far off
    // screen are clamped, so a silly scale never overflows an int.
    int x(double latDeg, double lonDeg) const
    {
        return toPixel(std::cos(latDeg * 0.017453292519943295) * (lonDeg - leftLonDeg) * 111319.2 * scale);
    }
    int y(double latDeg) const { return toPixel((topLatDeg - latDeg) * 111248.4 * scale); }

    // The degrees one pixel spans: a pixel of longitude at a latitude (held
    // finite at the poles), a pixel of latitude anywhere.
    double lonDegPerPx(double latDeg) const
    {
        return 1.0 / (std::max(std::cos(latDeg * 0.017453292519943295), 1e-9) * 111319.2 * scale);
    }
    double latDegPerPx() const { return 1.0 / (111248.4 * scale); }

    bool onScreenX(int px) const { return 0 < px && px < width - 20; }
    bool onScreenY(int py) const { return 0 < py && py < height - 150; }

    static int toPixel(double v)
    {
        if (!(v == v))
            return -1000000000;
        return static_cast<int>(std::clamp(v, -1.0e9, 1.0e9));
    }
};

} // namespace varno::trackedit
