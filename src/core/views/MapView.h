// The seven map views.
#pragma once

#include <array>

namespace varno::views {

enum class MapView { Camera, Poi, Route, Compass, Pointer, Trail, TrackEditor };

inline constexpr std::array<MapView, 7> kAllViews = {MapView::Camera,     MapView::Poi,     MapView::Route,
                                                     MapView::Compass,    MapView::Pointer, MapView::Trail,
                                                     MapView::TrackEditor};

} // namespace varno::views
