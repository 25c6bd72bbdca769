// The main window: menus, toolbars, status bar and keys around the one view.
#pragma once

#include <QMainWindow>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string_view>

#include "gps/PortList.h"
#include "session/Session.h"

class CVARNOView;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // While a port open waits: "Opening <port>..." in the status bar.
    void showOpening(bool busy, const QString& port);
    // ports: what the Com Settings dialog offers; the machine's serial devices when null.
    explicit CMainFrame(varno::session::Session& session, QWidget* parent = nullptr,
                        const varno::gps::SerialPortEnumerator* ports = nullptr);
    ~CMainFrame() override;

    CVARNOView* view() const { return view_; }
    QToolBar* fileToolbar() const { return fileBar_; }
    QToolBar* varnoToolbar() const { return varnoBar_; }
    // The action of a command id (menu item, key or toolbar button); null when unknown.
    QAction* action(int id) const;
    bool hasHandler(int id) const { return handlers_.count(id) != 0; }

    // A key token of the command table as Qt's key sequence.
    static QKeySequence keySequence(std::string_view token);

    // Runs a command as its menu item, key or button would.
    void runCommand(int id);

    // Where "C:\VARNO\Route\" is on this machine (the Start Time dialog browses there).
    void setRouteFolder(const QString& folder) { routeFolder_ = folder; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

signals:
    // Every command, before it runs.
    void commandRun(int id);

private:
    void buildActions();
    void buildMenus();
    void buildToolbars();
    void buildStatusBar();
    void registerHandlers();
    // Cameras, the map scale, the specs line, Mute, Mark Location and track logging.
    void registerCameraHandlers();
    void on(std::initializer_list<int> ids, std::function<void()> handler);
    void wireReader();

    // A view command: switch, retitle, repaint.
    void viewCommand(const std::function<void()>& step);
    void applyNormalRect(int id);
    void syncChecks();
    void refreshStatus();

    varno::session::Session& session_;
    std::unique_ptr<varno::gps::SerialPortEnumerator> ownPorts_;
    const varno::gps::SerialPortEnumerator* ports_;
    CVARNOView* view_ = nullptr;
    QToolBar* fileBar_ = nullptr;
    QToolBar* varnoBar_ = nullptr;
    QLabel* gpsPane_ = nullptr;
    QLabel* logPane_ = nullptr;
    QLabel* schemePane_ = nullptr;
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    QString routeFolder_;
    // AutoStartSize: placed again once shown, when the frame's size is known.
    bool placeOnShow_ = false;
};
