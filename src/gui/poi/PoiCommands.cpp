// POI and position commands: "Select Poi Files", "Near POI List" and "Manual Location".
#include "gui/poi/PoiCommands.h"

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/poi/PoiDialogs.h"

using varno::session::CommandId;

void registerPoiCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    frame.on({CommandId::SelectPoiFiles}, [&frame, &session, view] {
        SelectPoiFilesDialog dlg(session, &frame);
        dlg.exec();
        session.afterSelectPoiFiles();
        view->update();
    });
    frame.on({CommandId::NearPoiList}, [&frame, &session, view] {
        NearPoiListDialog dlg(session.poiList(), session.fix().position, &frame);
        dlg.exec();
        view->update();
    });
    frame.on({CommandId::ManualLocation}, [&frame, &session, view] {
        session.beginManualLocation();
        ManualLocationDialog dlg(session, view, &frame);
        dlg.exec();
        session.endManualLocation();
        view->update();
    });
}
