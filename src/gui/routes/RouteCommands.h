// Routes in the window: the route file, the pick list, the route dialogs, road types, the agent commands.
#pragma once

#include <QObject>
#include <functional>

#include "gui/support/FileDialogs.h"
#include "session/Session.h"

class CMainFrame;
class CVARNOView;
class QDialog;

class RouteCommands : public QObject {
    Q_OBJECT
public:
    RouteCommands(CMainFrame& frame);

    void selectRouteFile();
    void routePointsList();
    void excludedList();
    void routePicker();
    void routeOptions();
    void agentOptions();
    void snapToRoute();

    // Tests script the file choosers, and see each dialog before it runs.
    FileDialogs dialogs = FileDialogs::standard();
    std::function<void(QDialog&)> beforeExec;
    // Runs a dialog instead of its exec(), when set.
    std::function<int(QDialog&)> runDialog;

private:
    int exec(QDialog& dlg);

    CMainFrame& frame_;
    varno::session::Session& session_;
    CVARNOView* view_;
};

// Registers the route commands on the frame; the RouteCommands object is the frame's child "routeCommands".
void registerRouteCommands(CMainFrame& frame);
