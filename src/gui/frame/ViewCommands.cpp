// View switching: the View menu's view items and the keys that do the same.
#include "gui/frame/ViewCommands.h"

#include <functional>
#include <utility>

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"

using varno::session::CommandId;
using varno::session::Session;
using varno::views::MapView;

void registerViewCommands(CMainFrame& frame)
{
    Session& session = frame.session();
    CVARNOView* view = frame.view();
    // A view command switches, retitles the window and asks for a repaint.
    auto switching = [&frame, &session, view](std::function<void()> step) {
        return [&frame, &session, view, step] {
            step();
            const std::string_view title = session.viewState().title();
            frame.setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
            view->update();
        };
    };
    // The toggling items and the keys that do the same.
    auto toggle = [&session, switching](MapView v) {
        return switching([&session, v] { session.toggleView(v); });
    };
    frame.on({CommandId::DisplayPoi, CommandId::KeyPoiN}, toggle(MapView::Poi));
    frame.on({CommandId::RouteView, CommandId::KeyRouteComma}, toggle(MapView::Route));
    frame.on({CommandId::CompassView, CommandId::KeyCompassF9}, toggle(MapView::Compass));
    frame.on({CommandId::PointerView, CommandId::KeyPointerDot}, toggle(MapView::Pointer));
    frame.on({CommandId::TrailView, CommandId::KeyTrailSlash}, toggle(MapView::Trail));
    frame.on({CommandId::TrackEditorView, CommandId::KeyTrackEditorT}, toggle(MapView::TrackEditor));
    // The View menu marks the view on screen.
    for (const auto& [id, v] : {std::pair{CommandId::CameraMap, MapView::Camera},
                                {CommandId::DisplayPoi, MapView::Poi},
                                {CommandId::RouteView, MapView::Route},
                                {CommandId::CompassView, MapView::Compass},
                                {CommandId::PointerView, MapView::Pointer},
                                {CommandId::TrailView, MapView::Trail},
                                {CommandId::TrackEditorView, MapView::TrackEditor}})
        frame.checkedWhen(id, [&session, v] { return session.viewState().isOn(v); });

    frame.on({CommandId::CameraMap, CommandId::KeyCameraMapF6, CommandId::KeyCameraMapB},
             switching([&session] { session.showCameraMap(); }));
    frame.on({CommandId::KeyPoiF7}, switching([&session] { session.showPoiAlways(); }));
    frame.on({CommandId::KeyRouteF8}, switching([&session] { session.showRouteAlways(); }));
    // The next view is drawn at once.
    frame.on({CommandId::NextViewV, CommandId::NextViewF5},
             [view, next = switching([&session] { session.nextView(); })] {
                 next();
                 view->repaint();
             });
}
