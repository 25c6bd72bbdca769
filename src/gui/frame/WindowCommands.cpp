// The window itself: sizes, the toolbars and status bar, day and night colours, Exit.
#include "gui/frame/WindowCommands.h"

#include <QStatusBar>
#include <QToolBar>

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"

using varno::session::CommandId;

void registerWindowCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();

    for (CommandId id :
         {CommandId::Scr600x480, CommandId::Scr800x600, CommandId::Scr800x700, CommandId::Tool800x600,
          CommandId::Key600x480, CommandId::Key800x600, CommandId::Key800x700})
        frame.on({id}, [&frame, id] { frame.applyNormalRect(id); });

    // The bars: each item shows or hides its bar and carries a check while it is shown.
    auto bar = [&frame](CommandId id, QWidget* w) {
        frame.on({id}, [w] { w->setVisible(w->isHidden()); });
        frame.checkedWhen(id, [w] { return !w->isHidden(); });
    };
    bar(CommandId::ViewToolbar, frame.fileToolbar());
    bar(CommandId::ViewStatusBar, frame.statusBar());
    bar(CommandId::VarnoToolbar, frame.varnoToolbar());

    // Colours repaint at once.
    frame.on({CommandId::DayColours, CommandId::ToolDay}, [&session, view] {
        session.loadDayColours();
        view->repaint();
    });
    frame.on({CommandId::NightColours, CommandId::ToolNight}, [&session, view] {
        session.loadNightColours();
        view->repaint();
    });

    frame.on({CommandId::AppExit}, [&frame] { frame.close(); });
}
