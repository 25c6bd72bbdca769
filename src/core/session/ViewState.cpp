// Which of the seven map views is showing, its window title, and the redraw-background flag.
#include "session/ViewState.h"

namespace varno::session {

std::string_view ViewState::titleOf(MapView v)
{
    switch (v) {
    case MapView::Camera:
        return "VARNO Camera View";
    case MapView::Poi:
        return "VARNO POI View";
    case MapView::Route:
        return "VARNO Route View";
    case MapView::Compass:
        return "VARNO Compass View";
    case MapView::Pointer:
        return "VARNO Pointer View";
    case MapView::Trail:
        return "VARNO Trail View";
    case MapView::TrackEditor:
        return "VARNO Track Editor View";
    }
    return "VARNO Camera View";
}

void ViewState::switchTo(MapView v)
{
    current_ = v;
    backgroundChanged_ = true;
}

MapView ViewState::nextOf(MapView v)
{
    switch (v) {
    case MapView::Poi:
        return MapView::Route;
    case MapView::Route:
        return MapView::Compass;
    case MapView::Compass:
        return MapView::Pointer;
    case MapView::Pointer:
        return MapView::Trail;
    case MapView::Trail:
        return MapView::Camera;
    case MapView::Camera:
    case MapView::TrackEditor:
        break;
    }
    return MapView::Poi;
}

MapView ViewState::next()
{
    switchTo(nextOf(current_));
    return current_;
}

} // namespace varno::session
