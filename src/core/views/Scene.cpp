// A view's drawing as a display list: what one repaint puts on the window, in drawing order.
#include "views/Scene.h"

namespace varno::views {

void Scene::addBox(const Rect& r, std::uint32_t frame, std::uint32_t fill)
{
    add(FillItem{{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, fill});
    add(FrameItem{r, frame, 1});
}

std::vector<const TextItem*> Scene::textsIn(const Rect& r) const
{
    std::vector<const TextItem*> out;
    for (const TextItem* t : all<TextItem>())
        if (t->x >= r.left && t->x < r.right && t->y >= r.top && t->y < r.bottom)
            out.push_back(t);
    return out;
}

const TextItem* Scene::textAt(int x, int y) const
{
    for (const SceneItem& i : items)
        if (const auto* t = std::get_if<TextItem>(&i); t && t->x == x && t->y == y)
            return t;
    return nullptr;
}

bool Scene::hasFrame(const Rect& r) const
{
    for (const FrameItem* f : all<FrameItem>())
        if (f->rect == r)
            return true;
    return false;
}

} // namespace varno::views
