// Which of the seven map views is showing, its window title, and the redraw-background flag.
#pragma once

#include <string_view>

#include "views/MapView.h"

namespace varno::session {

// The session names the views as the views name them.
using views::MapView;

// The seven view flags kept as one value, so that exactly one is always on.
// Every switch asks the next repaint to rebuild the view's background.
class ViewState {
public:
    MapView current() const { return current_; }
    bool isOn(MapView v) const { return current_ == v; }

    // "VARNO Camera View", "VARNO POI View", ...
    static std::string_view titleOf(MapView v);
    std::string_view title() const { return titleOf(current_); }

    // Turns v on and every other view off.
    void switchTo(MapView v);

    // The next-view cycle: camera map -> POI -> route -> compass -> pointer ->
    // trail -> camera map; the track editor goes to POI.
    static MapView nextOf(MapView v);
    // Switches to the next view of the cycle and returns it.
    MapView next();

    bool backgroundChanged() const { return backgroundChanged_; }
    void markBackgroundChanged() { backgroundChanged_ = true; }
    void clearBackgroundChanged() { backgroundChanged_ = false; }

private:
    MapView current_ = MapView::Camera;
    bool backgroundChanged_ = false;
};

} // namespace varno::session
