// The Help menu: About and the shortcut key list.
#include "gui/frame/HelpCommands.h"

#include <QMessageBox>

#include "gui/frame/CMainFrame.h"
#include "gui/frame/ShortcutListDialog.h"

#ifndef VARNO_VERSION
#define VARNO_VERSION "unknown"
#endif

using varno::session::CommandId;

namespace {

QString aboutText()
{
    return QStringLiteral("<h3>VARNO %1</h3>"
                          "<p>Safety-camera warner and GPS track tool for Linux.</p>"
                          "<p>Licence: GNU General Public License, version 3 or later.</p>"
                          "<p>Built with Qt %2 (LGPL 3).<br>"
                          "Spoken warnings by espeak-ng (GPL 3).<br>"
                          "Map and place data \u00a9 OpenStreetMap contributors (ODbL).</p>")
        .arg(QStringLiteral(VARNO_VERSION), QString::fromLatin1(qVersion()));
}

} // namespace

void registerHelpCommands(CMainFrame& frame)
{
    frame.on({CommandId::AppAbout},
             [&frame] { QMessageBox::about(&frame, QStringLiteral("About VARNO"), aboutText()); });
    frame.on({CommandId::ShortcutList}, [&frame] {
        ShortcutListDialog dlg(&frame);
        dlg.exec();
    });
}
