// The road map under a map view: its ways drawn by class, and the names of the larger ones along them.
#pragma once

#include <cstdint>
#include <vector>

#include "geo/LatLon.h"
#include "roads/RoadWay.h"
#include "views/Scene.h"
#include "views/SceneInput.h"

namespace varno::views {

// How a class of road is drawn: the track editor's pens (motorway, trunk
// and primary in its colours and widths), the smaller roads thinner and
// dimmer so the larger stand out; at night every pen darker, so that the
// black map stays dark and the cameras, letters and trail on it stay bright.
struct RoadPen {
    std::uint32_t colour = 0;
    int width = 0;
};
RoadPen roadPen(roads::RoadClass roadClass, bool night);
// The colour of the road names.
std::uint32_t roadNameColour(bool night);
inline constexpr int kRoadNameHeight = 14; // [px] Arial

// Whether a class is drawn on a map of this radius [m]: tracks, paths and
// the rest only from 500 m down, service roads from 1 km down; at the
// camera view's usual scales they would only cover the map.
bool roadDrawnAt(roads::RoadClass roadClass, double mapRadiusM);
// Whether its name is written along it: up to secondary roads always,
// tertiary from 2 km down, the smaller streets from 1 km down.
bool roadNamedAt(roads::RoadClass roadClass, double mapRadiusM);

// Where a map view puts the fix, and the part of the window its map fills.
struct RoadMapArea {
    int centreX = 0;
    int centreY = 0;
    Rect clip;
};
// How far [m] from the fix the farthest edge of the area lies, east-west or
// north-south: the ways of a square this far either side fill it.
double roadReachM(const RoadMapArea& area, double mapRadiusM);

// The ways onto the map: polylines by class (the smaller first, the larger
// over them), then the names. Points are placed as geo::screenPoint places
// them; ways wholly outside the area are left out.
void addRoadWays(Scene& scene, const std::vector<roads::RoadWay>& ways, geo::LatLon fix, double mapRadiusM,
                 const RoadMapArea& area, bool night);
// The same for a view's scene: the road map's ways around the fix when the
// scene has a road map and a fix position; nothing otherwise.
void addRoadMap(Scene& scene, const SceneInput& in, const RoadMapArea& area);

} // namespace varno::views
