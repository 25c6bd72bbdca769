// The status bar's receiver pane in words, and the replay's progress with its Pause button.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "session/ReceiverState.h"
#include "session/Session.h"

class QLabel;
class QPushButton;
class QStatusBar;
class ReplayController;

// Shows what session::ReceiverState says about the receiver in the GPS pane
// ("Waiting for data on /dev/ttyUSB0", "Fix, 9 satellites" …), refreshed on
// every sentence the view takes and once a second; and, while a replay runs,
// "Replay 1234 / 2785 lines" with a Pause / Resume button beside it.
class ReceiverStatus : public QObject {
    Q_OBJECT
public:
    // gpsPane: the label the words go into (the status bar holds it). The
    // replay controller is found among window's children when it is there.
    ReceiverStatus(varno::session::Session& session, QLabel* gpsPane, QStatusBar* bar, QWidget* window);

    // Reads the link again and shows the words (after commands, opens, losses).
    void refresh();
    // The view took a sentence; ok: it passed its checksum and reached the fix.
    void sentenceTaken(bool ok);

    QLabel* replayLabel() const { return replayLabel_; }
    QPushButton* pauseButton() const { return pauseButton_; }

private:
    varno::session::ReceiverLink currentLink();
    ReplayController* replay();
    void showReplay();

    varno::session::Session& session_;
    QLabel* gpsPane_;
    QWidget* window_;
    QLabel* replayLabel_;
    QPushButton* pauseButton_;
    QPointer<ReplayController> replay_;
    QTimer tick_;
    varno::session::ReceiverState state_;
};
