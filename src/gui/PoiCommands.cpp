// POI and position commands: "Select Poi Files", "Near POI List" and "Manual Location".
#include "PoiCommands.h"

#include "CMainFrame.h"
#include "CVARNOView.h"
#include "PoiDialogs.h"

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
        NearPoiListDialog dlg(session.poiList(), session.decoder().fix().position, &frame);
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
