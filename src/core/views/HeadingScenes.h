// The drawing of the POI view and of the three heading views: compass, pointer and trail.
#pragma once

#include <string>
#include <string_view>

#include "geo/MapGeometry.h"
#include "views/Scene.h"
#include "views/SceneInput.h"

namespace varno::views {

// The POI view: the map with a labelled star per POI, the radius, the fix
// values, the cross-hair and the fix trail.
void addPoiView(Scene& scene, const SceneInput& in);

// The heading views are drawn as an image that is copied below the top
// lines: the compass and pointer views' image to window (1, 123), the trail
// view's to (1, 200); a point (x, y) of the image lands at (x, y + offset).
inline constexpr int kRoseImageOffset = 122;
inline constexpr int kTrailImageOffset = 199;
inline constexpr Rect kRoseImageRect{1, 123, 750, 465};
inline constexpr Rect kTrailImageRect{1, 200, 750, 502};
// The rose and the mini map of the compass and pointer views, in image pixels.
inline constexpr int kRoseX = 174, kRoseY = 170;
inline constexpr int kMiniMapX = 495, kMiniMapY = 169;
// The trail view's map centre and its two roses, in image pixels.
inline constexpr int kTrailMapX = 385, kTrailMapY = 149;
inline constexpr int kLeftRoseX = 80, kRightRoseX = 660, kSmallRoseY = 170;

inline constexpr std::uint32_t kRouteArrowColour = 0x00F2CA62;
inline constexpr std::uint32_t kPassedColour = 0x00AAE58E;
inline constexpr std::uint32_t kTrailColour = 0x005E9CD8;

void addCompassView(Scene& scene, const SceneInput& in);
void addPointerView(Scene& scene, const SceneInput& in);
void addTrailView(Scene& scene, const SceneInput& in);

// The screen direction [rad] of compass angle a on a rose turned to heading
// h: r = a - h (plus 360 when negative), theta = (90 - r) * pi / 180.
double roseAngle(double compassDeg, double headingDeg);
// The compass bearing [deg, 0..360) of an offset of dEast, dNorth metres; 0 for none.
double compassBearing(double dEast, double dNorth);

// A route label as the pointer and trail views draw it at image point (x, y):
// cut to what fits at 7 pixels a character before x = 750, or before x = 600
// when y is above 145; nullopt when y is below 275 or nothing fits.
std::optional<std::string> cutRouteLabel(std::string_view text, int x, int y);

// Whether the vehicle has passed the nearest route point: with P before the
// nearest point N and S after it, the length P-N over N-S is smaller than
// the distance to P over the distance to S. False when N is the first point
// or a length is zero.
bool passedNearest(const RouteMarks& route, geo::LatLon fix);

} // namespace varno::views
