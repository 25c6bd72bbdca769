// The Help menu: About and the shortcut key list.
#include "HelpCommands.h"

#include <QMessageBox>

#include "CMainFrame.h"
#include "ShortcutListDialog.h"

using varno::session::CommandId;

void registerHelpCommands(CMainFrame& frame)
{
    frame.on({CommandId::AppAbout}, [&frame] {
        QMessageBox::about(&frame, QStringLiteral("About VARNO"),
                           QStringLiteral("VARNO\nSafety-camera warner and GPS tool for Linux."));
    });
    frame.on({CommandId::ShortcutList}, [&frame] {
        ShortcutListDialog dlg(&frame);
        dlg.exec();
    });
}
