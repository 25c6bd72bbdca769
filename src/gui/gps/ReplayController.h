// Replaying an NMEA log into the window: the dialog, the pacing window timer, Esc, the end.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "gps/LogReplay.h"
#include "gui/support/FileDialogs.h"
#include "gui/support/UiBridgeQt.h"
#include "session/Session.h"

class CVARNOView;

// Owns the replay worker. The worker hands each line to the session's
// sentence road and has the UI thread repaint the view and notify the road,
// waiting for each; between the two it waits for a tick of a window timer
// that runs at the chosen delay. The window stays live meanwhile:
// menus, Esc and the "Stop replay ?" question are served by the event loop.
class ReplayController : public QObject {
    Q_OBJECT
public:
    ReplayController(varno::session::Session& session, CVARNOView* view, QWidget* window);
    ~ReplayController() override;

    // Test -> "Replay a log file": the dialog, then the replay. Does nothing
    // while a replay runs (a second one cannot share the mailbox).
    void runDialog();
    // Starts a replay of path (a path on this machine) at delayMs per line.
    bool start(const QString& path, int delayMs, varno::gps::ReplayStartOptions options = {});
    // The Esc key: "Stop replay ?" before the next line.
    void escape() { replay_.escape(); }
    // Ends a running replay without asking (the window closes).
    void stop();

    bool running() const { return replay_.running(); }
    int linesSent() const { return replay_.linesSent(); }
    // Progress: the line of the file the replay is at, and the lines in all
    // (-1 until the file is counted).
    int currentLine() const { return replay_.currentLine(); }
    int linesTotal() const { return replay_.linesTotal(); }
    // Holds the replay before its next line; Esc still asks "Stop replay ?".
    void setPaused(bool paused) { replay_.setPaused(paused); }
    bool paused() const { return replay_.paused(); }
    int delayMs() const { return replay_.delayMs(); }
    // The pacing timer (tests check its period).
    const GateTimer& timer() const { return *timer_; }
    // The last sentence handed over (a picture of the end shows it again).
    const std::string& lastSentence() const { return lastSentence_; }

    // Tests script the dialog: called with it before it runs; return false to
    // cancel it, true to accept it as filled.
    std::function<bool(class ReplayDialog&)> dialogHook;
    // Runs on the UI thread after the camera logic of each line (tests record
    // what the warner announced).
    std::function<void()> afterCameraLogic;
    FileDialogs dialogs = FileDialogs::standard();

signals:
    // A replay has started (its worker runs).
    void started();
    // The replay ended by itself (end of file, Stop replay, the notice cancelled).
    void finished();

private:
    void repaintWithSentence();

    varno::session::Session& session_;
    QPointer<CVARNOView> view_;
    QWidget* window_;
    GateTimer* timer_;
    std::string lastSentence_;
    varno::gps::LogReplay replay_;
};
