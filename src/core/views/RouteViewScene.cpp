// The route view's drawing.
#include "views/RouteViewScene.h"

#include <fmt/printf.h>

#include "geo/MapGeometry.h"
#include "gps/Presentation.h"
#include "routes/Guidance.h"
#include "views/CameraViewScene.h"
#include "views/RoadLayer.h"

namespace varno::views {
namespace {

constexpr Rect kFixPanel{580, 123, 750, 190};
constexpr int kPanelX = 600, kPanelTop = 130, kPanelStep = 20;
constexpr Point kRadiusLabelAt{240, 400};

// White text; on black where it leaves the map, while on the black map
// itself it needs no background of its own (which also paints much faster).
TextItem label(std::string text, int x, int y, bool onMap = false)
{
    TextItem t;
    t.text = std::move(text);
    t.x = x;
    t.y = y;
    t.cellHeight = kRouteFontHeight;
    t.colour = kWhite;
    t.background = onMap ? kNoColour : kBlack;
    return t;
}

} // namespace

std::array<std::string, 6> fixPanelLines(const gps::Fix& fix, const TimeZone& timeZone, int speedUnits)
{
    return {
        fmt::sprintf("Lat. %f", fix.position.latDeg()),
        fmt::sprintf("Long. %f", fix.position.lonDeg()),
        gps::timeText(fix, timeZone),
        fmt::sprintf("Bearing %03.f", fix.courseDeg),
        gps::speedLabelText(fix.speedKnots, speedUnits),
        fmt::sprintf("Alt. %03.f metres", fix.altitudeM),
    };
}

void addRouteView(Scene& scene, const SceneInput& in)
{
    if (!routeViewFits(in.windowWidth, in.windowHeight))
        return;
    scene.add(FillItem{kRouteMap, kBlack});
    addRoadMap(scene, in, {kRouteMap.left + kTrailCentreDx, kRouteMap.top + kTrailCentreDy, kRouteMap});

    if (in.route)
        for (routes::PlacedLabel& l :
             routes::placedLabels(*in.route, in.routeLabels, in.mapRadius, kRouteMap.left + kRouteLabelDx,
                                  kRouteMap.top + kRouteLabelDy))
            scene.add(label(std::move(l.text), l.x, l.y, true));

    const std::string none = routes::kNoNearbyPoint;
    scene.add(label(in.guidance ? in.guidance->nearestText() : none, kNearestTextAt.x, kNearestTextAt.y));
    scene.add(label(in.guidance ? in.guidance->nextText() : none, kNextTextAt.x, kNextTextAt.y));
    scene.add(label(geo::mapRadiusLabel(in.mapRadius), kRadiusLabelAt.x, kRadiusLabelAt.y));

    scene.add(FillItem{kFixPanel, kBlack});
    const auto lines = fixPanelLines(in.fix, in.timeZone, in.speedUnits);
    for (std::size_t i = 0; i < lines.size(); ++i)
        scene.add(label(lines[i], kPanelX, kPanelTop + static_cast<int>(i) * kPanelStep));

    for (PolylineItem& l : crossHairLines(kRouteMap))
        scene.add(std::move(l));
    if (in.trail)
        for (PolylineItem& l : trailPolylines(*in.trail, in.fix.position, in.mapRadius, kRouteMap))
            scene.add(std::move(l));
}

} // namespace varno::views
