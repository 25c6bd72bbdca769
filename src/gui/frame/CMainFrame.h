// The main window: menus, toolbars, status bar and keys around the one view.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "gps/PortList.h"
#include "session/CommandTable.h"
#include "session/Session.h"

class CVARNOView;
class QLabel;
class QMenu;
class ReceiverStatus;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using CommandId = varno::session::CommandId;

    // While a port open waits: "Opening <port>..." in the status bar.
    void showOpening(bool busy, const QString& port);
    // ports: what the Com Settings dialog offers; the machine's serial devices when null.
    explicit CMainFrame(varno::session::Session& session, QWidget* parent = nullptr,
                        const varno::gps::SerialPortEnumerator* ports = nullptr);
    ~CMainFrame() override;

    varno::session::Session& session() const { return session_; }
    CVARNOView* view() const { return view_; }
    const varno::gps::SerialPortEnumerator& ports() const { return *ports_; }
    QToolBar* fileToolbar() const { return fileBar_; }
    QToolBar* varnoToolbar() const { return varnoBar_; }
    ReceiverStatus* receiverStatus() const { return receiver_; }
    // The action of a command (menu item, key or toolbar button).
    QAction* action(CommandId id) const;
    bool hasHandler(CommandId id) const { return handlers_.count(id) != 0; }
    // A menu of the menu bar.
    QMenu* menu(varno::session::Menu m) const { return menus_.at(m); }

    // A key token of the command table as Qt's key sequence.
    static QKeySequence keySequence(std::string_view token);

    // Runs a command as its menu item, key or button would.
    void runCommand(CommandId id);

    // The feature files register here what their commands do; a command without
    // a handler stays greyed. A later registration of an id replaces the earlier one.
    void on(std::initializer_list<CommandId> ids, std::function<void()> handler);
    // The check mark of a checkable command, read before a menu opens and after every command.
    void checkedWhen(CommandId id, std::function<bool()> isChecked);

    // Puts the window where a size command does: the command's rectangle is the
    // outer frame, title bar included; a maximised, minimised or full-screen
    // window is restored first.
    void applyNormalRect(CommandId id);

    // Where "C:\VARNO\Route\" is on this machine (the Start Time dialog browses there).
    void setRouteFolder(const QString& folder) { routeFolder_ = folder; }
    const QString& routeFolder() const { return routeFolder_; }

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

signals:
    // Every command, before it runs.
    void commandRun(varno::session::CommandId id);
    // A conversion has written a camera file there (a path on this machine).
    void cameraFileWritten(const QString& path);

private:
    void buildActions();
    void buildMenus();
    void buildToolbars();
    void buildStatusBar();
    void wireReader();
    // A reader status text (waiting for the device, resumed), from any thread.
    void showReaderStatus(const std::string& message);
    // The last size command again, when the frame it counted with was not the
    // one the window got; settled: the window manager has had its time to answer.
    void placeAgainIfTheFrameChanged(bool settled = false);
    void syncChecks();
    void refreshStatus();
    void syncStart();

    varno::session::Session& session_;
    std::unique_ptr<varno::gps::SerialPortEnumerator> ownPorts_;
    const varno::gps::SerialPortEnumerator* ports_;
    CVARNOView* view_ = nullptr;
    QToolBar* fileBar_ = nullptr;
    QToolBar* varnoBar_ = nullptr;
    QLabel* gpsPane_ = nullptr;
    ReceiverStatus* receiver_ = nullptr; // the GPS pane's words, the replay's progress
    QLabel* logPane_ = nullptr;
    QLabel* schemePane_ = nullptr;
    std::map<CommandId, QAction*> actions_;
    std::map<varno::session::Menu, QMenu*> menus_;
    std::map<CommandId, std::function<void()>> handlers_;
    std::map<CommandId, std::function<bool()>> checks_;
    QString routeFolder_;
    // The last size command and the frame it counted with (none before the window
    // was shown), until the window is seen with that frame.
    struct Placement {
        CommandId id;
        QMargins frame;
    };
    std::optional<Placement> placed_;
    QTimer settleTimer_;
};
