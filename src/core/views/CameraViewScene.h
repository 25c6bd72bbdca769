// The camera view's parts of a scene: the top lines, the dashboard with its map, and the sentence strip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cameras/CameraPoint.h"
#include "views/CameraViewLayout.h"
#include "views/Scene.h"
#include "views/SceneInput.h"
#include "views/TrackRing.h"

namespace varno::views {

// The first five characters of CamType against "MOBIL", "GATSO", "REDLI",
// "MONIT", "REDSP", "SPECS", "TEMPO", "TRUVE", letter case aside; Other else.
IconId iconClassOf(std::string_view camType);

// The hazard text as drawn: the first 19 characters, then the next 19 only if
// there are more, then up to 19 more only if there are more still. A cut never
// splits a UTF-8 sequence.
std::vector<std::string> hazardPieces(std::string_view hazard);

// The colour of a text that shows a speed over a limit (the camera line's
// distance, the zone's average) and of the speed box's fill: red by day,
// amber by night.
std::uint32_t overLimitTextColour(const SceneInput& in);

// Boxes that do not fit the window are left out whole (see fitsWindow).
// The camera line and the average-speed line, then the type icons in the latter.
void addTopLines(Scene& scene, const SceneInput& in);
// The rest of the camera view: the value boxes and labels, the map with its
// letters, radius label, cross-hair and trail, and the hazard box.
void addCameraDashboard(Scene& scene, const SceneInput& in);
// The sentence strip: a black box with a grey frame and the sentence taken by
// this repaint, if any. The day scheme's black text is drawn white on it.
void addSentenceStrip(Scene& scene, const SceneInput& in);

// Where the strip's text starts.
inline constexpr int kStripTextX = 4, kStripTextY = 460;

// The texts drawn in one box of the layout, in drawing order.
std::vector<std::string> boxTexts(const Scene& scene, BoxId id);

// The parts on their own, for the views that share them.
std::vector<IconItem> iconItems(const std::vector<cameras::CameraPoint>& cameras, geo::LatLon fix,
                                const Rect& averageSpeedBox);
// The trail as one polyline per stretch drawn with the pen down.
std::vector<PolylineItem> trailPolylines(const TrackRing& ring, geo::LatLon fix, double mapRadius,
                                         const Rect& mapBox);
std::vector<PolylineItem> crossHairLines(const Rect& mapBox);

} // namespace varno::views
