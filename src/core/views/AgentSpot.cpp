// Where the route agent's character may stand in a view without hiding what the driver reads.
#include "views/AgentSpot.h"

#include <vector>

namespace varno::views {
namespace {

constexpr int kMargin = 4;

bool overlaps(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

std::optional<Rect> agentSpot(const Scene& scene, MapView view, int layoutWidth, int layoutHeight, int width,
                              int height)
{
    if (view != MapView::Route && view != MapView::Pointer && view != MapView::Trail)
        return std::nullopt;
    std::vector<Rect> keepOut;
    for (const SceneItem& item : scene.items) {
        if (const auto* e = std::get_if<EllipseItem>(&item))
            keepOut.push_back(e->rect);
        else if (const auto* f = std::get_if<FrameItem>(&item))
            keepOut.push_back(f->rect);
    }
    const int w = width + 2 * kMargin, h = height + 2 * kMargin;
    for (int x = layoutWidth - w; x >= 0; x -= kAgentStep)
        for (int y = layoutHeight - h; y >= 0; y -= kAgentStep) {
            const Rect around{x, y, x + w, y + h};
            bool free = true;
            for (const Rect& r : keepOut)
                if (overlaps(around, r)) {
                    free = false;
                    break;
                }
            if (free)
                return Rect{x + kMargin, y + kMargin, x + kMargin + width, y + kMargin + height};
        }
    return std::nullopt;
}

} // namespace varno::views
