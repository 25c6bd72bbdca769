// The display colours and distance dialogs, and Ctrl+Q for Exit.
#include "gui/options/ToolCommands.h"

#include <QShortcut>

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/options/ColoursDialog.h"
#include "gui/options/DistanceDialog.h"

using varno::session::CommandId;

void registerToolCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    // Whichever scheme was in use, and whichever button closed the dialog, the day scheme follows.
    frame.on({CommandId::Colours}, [&frame, &session, view] {
        ColoursDialog dlg(session.settings(), &frame);
        dlg.exec();
        session.loadDayColours();
        view->repaint();
    });
    frame.on({CommandId::DistanceToLocation}, [&frame, &session, view] {
        DistanceDialog dlg(session.position().latDeg(), session.position().lonDeg(), &frame);
        dlg.exec();
        view->update();
    });
    // A second key for Exit. Spelt out: the platform themes without a Quit key (Windows-like ones) leave
    // QKeySequence::Quit empty.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &frame);
    quit->setContext(Qt::WindowShortcut);
    QObject::connect(quit, &QShortcut::activated, &frame, [&frame] { frame.runCommand(CommandId::AppExit); });
}
