// How a view's logical layout maps onto the window.
#include "views/ViewScale.h"

#include <algorithm>
#include <cmath>

namespace varno::views {

ViewScale::Point ViewScale::toLogical(double windowX, double windowY) const
{
    // At 1:1 a position is rounded to its pixel, as it always was; scaled, the
    // logical pixel it falls in.
    if (identity())
        return {static_cast<int>(std::lround(windowX)), static_cast<int>(std::lround(windowY))};
    return {static_cast<int>(std::floor((windowX - dx) / factor)),
            static_cast<int>(std::floor((windowY - dy) / factor))};
}

ViewScale viewScaleFor(int windowWidth, int windowHeight, bool scaleWithWindow, bool fixedLayout)
{
    ViewScale s{windowWidth, windowHeight, 1.0, 0.0, 0.0};
    if (!scaleWithWindow || !fixedLayout)
        return s;
    const double factor = std::min(static_cast<double>(windowWidth) / kLayoutWidth,
                                   static_cast<double>(windowHeight) / kLayoutHeight);
    // Only ever up: a smaller window keeps 1:1 and shows what fits, as before.
    if (factor <= 1.0)
        return s;
    s.logicalWidth = kLayoutWidth;
    s.logicalHeight = kLayoutHeight;
    s.factor = factor;
    s.dx = (windowWidth - kLayoutWidth * factor) / 2.0;
    s.dy = (windowHeight - kLayoutHeight * factor) / 2.0;
    return s;
}

} // namespace varno::views
