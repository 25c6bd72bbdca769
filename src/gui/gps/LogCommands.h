// Action -> "Log NMEA Data": closes the open NMEA log or asks for a file and starts one.
#pragma once

#include <QObject>

#include "gui/support/FileDialogs.h"
#include "session/Session.h"

class CMainFrame;
class QWidget;

class LogCommands : public QObject {
    Q_OBJECT
public:
    LogCommands(varno::session::Session& session, QWidget* window);

    // The command: with a log open, "Close current NMEA log file ?" (OK closes
    // it); otherwise the save dialog in LogFolder with today's proposed name,
    // and the chosen file becomes the log.
    void logNmeaData();

    // Tests script the dialog.
    FileDialogs dialogs = FileDialogs::standard();

private:
    varno::session::Session& session_;
    QWidget* window_;
};

// Adds "Log NMEA Data" and its check mark (on while a log is open) to the frame.
void registerLogCommands(CMainFrame& frame);
