// The route view's drawing: the route points around the fix, the nearest and next lines, the fix panel.
#pragma once

#include <array>
#include <string>

#include "gps/Fix.h"
#include "views/Scene.h"
#include "views/SceneInput.h"

namespace varno::views {

// The route view's map area; its labels are placed around (left + 179, top + 130).
inline constexpr Rect kRouteMap{1, 123, 750, 460};
inline constexpr int kRouteLabelDx = 179, kRouteLabelDy = 130;
// Where the nearest and the next texts start.
inline constexpr Point kNearestTextAt{10, 420}, kNextTextAt{10, 440};
inline constexpr int kRouteFontHeight = 18;

// The route view draws (and guides) only in a window wider than 750 and taller than 460 pixels.
constexpr bool routeViewFits(int windowWidth, int windowHeight)
{
    return windowWidth > 750 && windowHeight > 460;
}

// The fix panel's six lines: latitude, longitude, local time, bearing, speed, altitude.
std::array<std::string, 6> fixPanelLines(const gps::Fix& fix, const TimeZone& timeZone, int speedUnits);

// The whole route view, for a scene whose guidance step has run.
void addRouteView(Scene& scene, const SceneInput& in);

} // namespace varno::views
