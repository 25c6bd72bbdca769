// Where the route agent's character may stand in a view without hiding what the driver reads.
#pragma once

#include <optional>

#include "views/MapView.h"
#include "views/Scene.h"

namespace varno::views {

// The character stands only in the views that guide along a route (route,
// pointer, trail); in any other view it is hidden: nullopt. There it takes
// the first place, from the bottom right corner of the layout leftwards and
// then upwards in steps of kAgentStep, where a character of the given size
// [layout px] with a small margin touches none of the scene's roses and
// round maps (its ellipses) and none of its framed boxes (the top lines, the
// comment box, the sentence strip, a notice). nullopt when no place is free.
inline constexpr int kAgentStep = 10;
std::optional<Rect> agentSpot(const Scene& scene, MapView view, int layoutWidth, int layoutHeight, int width,
                              int height);

} // namespace varno::views
