// Trail menu: "Load trail" reads a GPX file into the trail view's trail, "Unload trail" drops it.
#pragma once

#include <QObject>

#include "gui/support/FileDialogs.h"
#include "session/Session.h"

class CMainFrame;
class QWidget;

class TrailCommands : public QObject {
    Q_OBJECT
public:
    TrailCommands(varno::session::Session& session, QWidget* window);

    // The chooser starts in the data folder's Trail folder; the file is read
    // off the UI thread (a progress bar with Cancel for large files, a Cancel
    // keeping the trail loaded before), then the result of the load (the
    // point count, or why it stopped) is shown.
    void loadTrail();
    void unloadTrail();

    // Tests script the dialog.
    FileDialogs dialogs = FileDialogs::standard();

private:
    varno::session::Session& session_;
    QWidget* window_;
};

void registerTrailCommands(CMainFrame& frame);
