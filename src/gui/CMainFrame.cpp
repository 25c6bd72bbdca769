// The main window: menus, toolbars, status bar around the one view.
#include "CMainFrame.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("VARNO"));
    resize(780, 580);
}
