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

bool ViewState::toggle(MapView v)
{
    switchTo(current_ == v ? MapView::Camera : v);
    return current_ == v;
}

MapView ViewState::next()
{
    switch (current_) {
    case MapView::Poi:
        switchTo(MapView::Route);
        break;
    case MapView::Route:
        switchTo(MapView::Compass);
        break;
    case MapView::Compass:
        switchTo(MapView::Pointer);
        break;
    case MapView::Pointer:
        switchTo(MapView::Trail);
        break;
    case MapView::Trail:
        switchTo(MapView::Camera);
        break;
    case MapView::Camera:
    case MapView::TrackEditor:
        switchTo(MapView::Poi);
        break;
    }
    return current_;
}

} // namespace varno::session
