// File -> Open, Save, Save As: the record file of the fix time, position and track log.
#pragma once

#include <QObject>
#include <QString>

#include "gui/support/FileDialogs.h"
#include "PosixFileSync.h"
#include "session/Session.h"

class CMainFrame;
class QWidget;
namespace varno {
class FileSync;
}

class RecordCommands : public QObject {
    Q_OBJECT
public:
    // sync: makes a saved record durable before it replaces the old one (fsync when null).
    RecordCommands(varno::session::Session& session, QWidget* view, QWidget* window,
                   varno::FileSync* sync = nullptr);

    // Open: stops the GPS, restores the fix and the track log, then reloads the
    // cameras around the restored position, runs the camera logic once and repaints.
    void open();
    // Save: the kept record name, or Save As when there is none.
    void save();
    // Save As: the chosen name is kept, then the record is written.
    void saveAs();

    // The name kept from the last Save As; Open leaves it alone.
    const QString& recordName() const { return recordName_; }

    FileDialogs dialogs = FileDialogs::standard();

private:
    void write();

    varno::session::Session& session_;
    QWidget* view_;
    QWidget* window_;
    varno::platform::PosixFileSync ownSync_;
    varno::FileSync* sync_;
    QString recordName_;
};

// Adds File -> Open, Save and Save As to the frame.
void registerRecordCommands(CMainFrame& frame);
