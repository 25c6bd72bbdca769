// Cameras and the map: zoom, the specs line, Mute, Mark Location and the camera dialogs.
#include "gui/cameras/CameraCommands.h"

#include <QStatusBar>

#include "gui/cameras/MapScaleDialog.h"
#include "gui/cameras/NearCameraListDialog.h"
#include "gui/cameras/SpecsOptionsDialog.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/options/TrackLoggingDialog.h"

using varno::session::CommandId;

void registerCameraCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    // Zoom: the plain keys and buttons redraw when the radius changed; the
    // keypad keys and F3 / F4 redraw whatever happened.
    frame.on({CommandId::ToolZoomIn, CommandId::KeyZoomInPlus}, [&session, view] {
        if (session.zoomIn())
            view->update();
    });
    frame.on({CommandId::ToolZoomOut, CommandId::KeyZoomOutMinus}, [&session, view] {
        if (session.zoomOut())
            view->update();
    });
    frame.on({CommandId::KeyZoomInNum, CommandId::KeyZoomInF4}, [&session, view] {
        session.zoomIn();
        view->update();
    });
    frame.on({CommandId::KeyZoomOutNum, CommandId::KeyZoomOutF3}, [&session, view] {
        session.zoomOut();
        view->update();
    });
    // A written mark says so in the status bar; nothing else shows it.
    frame.on({CommandId::MarkLocation, CommandId::KeyMarkM, CommandId::ToolMark}, [&frame, &session] {
        if (session.markLocation())
            frame.statusBar()->showMessage(QString::asprintf("Location %.6f, %.6f marked",
                                                             session.position().latDeg(),
                                                             session.position().lonDeg()),
                                           5000);
    });
    frame.on({CommandId::Mute, CommandId::ToolMute, CommandId::KeyMuteQ},
             [&session] { session.toggleMute(); });
    frame.checkedWhen(CommandId::Mute, [&session] { return session.muted(); });
    // The toolbar's button stays pressed while muted.
    frame.checkedWhen(CommandId::ToolMute, [&session] { return session.muted(); });
    frame.on({CommandId::KeySpecsSpace}, [&session, view] {
        session.spaceKey();
        view->update();
    });
    // The map shows the new list at the next fix; the status bar says at once what was loaded.
    frame.on({CommandId::LoadCameraFile}, [&frame, &session] {
        session.loadCameraFile();
        const auto& list = session.cameraDialogs().cameras;
        frame.statusBar()->showMessage(
            list ? QStringLiteral("%1 cameras loaded around the position").arg(list->size())
                 : QStringLiteral("No position: no cameras loaded"),
            5000);
    });

    frame.on({CommandId::NearCameraList}, [&frame, &session, view] {
        const varno::geo::LatLon at = session.position();
        NearCameraListDialog dlg(session.cameraDialogs().cameras, at.latDeg(), at.lonDeg(), &frame);
        dlg.exec();
        view->update();
    });
    frame.on({CommandId::MapScale}, [&frame, &session, view] {
        MapScaleDialog dlg(session.cameraDialogs().scale, &frame);
        dlg.exec();
        session.afterMapScaleDialog();
        view->update();
    });
    frame.on({CommandId::SpecsAverageSpeed}, [&frame, &session, view] {
        SpecsOptionsDialog dlg(session.cameraDialogs().specs, session.prompt(), &frame);
        dlg.exec();
        session.afterSpecsDialog();
        view->update();
    });
    frame.on({CommandId::TrackLogging}, [&frame, &session, view] {
        TrackLoggingDialog dlg(session.cameraDialogs().track, &frame);
        dlg.exec();
        session.afterTrackDialog();
        view->update();
    });
}
