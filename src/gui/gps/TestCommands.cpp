// The Test menu: Check Registry, Do a ondraw, Send log file to port and the log replay.
#include "gui/gps/TestCommands.h"

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/gps/ReplayController.h"
#include "gui/gps/SendLogDialog.h"

using varno::session::CommandId;

void registerTestCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    frame.on({CommandId::CheckRegistry}, [&session, view] {
        session.checkRegistry();
        view->update();
    });
    frame.on({CommandId::DoOnDraw}, [&session, view] {
        session.doOnDraw();
        view->repaint();
    });
    frame.on({CommandId::SendLogToPort}, [&frame, &session] {
        SendLogDialog dlg(session.settings(), session.prompt(), &frame);
        dlg.exec();
    });
    // The replay lives as long as the window; Esc stops it.
    auto* replay = new ReplayController(session, view, &frame);
    frame.on({CommandId::ReplayLog}, [replay] { replay->runDialog(); });
    frame.on({CommandId::KeyStopReplayEsc}, [replay] { replay->escape(); });
}
