// Options > Road map...: choose a road map, or build one from an OpenStreetMap extract, or turn it off.
#pragma once

#include <QDialog>
#include <QString>

#include "gui/support/FileDialogs.h"
#include "session/Session.h"

class CMainFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The road map file the views draw and the fix is matched to. "Choose..."
// takes an existing road map; "Build from extract..." asks for an extract
// (.osm, .osm.gz, .osm.bz2, .osm.pbf) and where to put its road map, and
// builds it off the UI thread with a progress bar and Cancel; "None" clears
// the name. OK stores the name (RoadMapFile) and the session opens it.
class RoadMapDialog : public QDialog {
    Q_OBJECT
public:
    RoadMapDialog(varno::session::Session& session, FileDialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit* file() const { return file_; }
    // The steps of the buttons, for tests.
    void choose();
    void buildFromExtract();

public slots:
    void accept() override;

private:
    varno::session::Session& session_;
    FileDialogs& dialogs_;
    QLineEdit* file_;
    QLabel* note_;
};

// Where a road map built from this extract is proposed to go: beside it,
// its name without the extract's endings and ".roads.sqlite" added.
QString proposedRoadMapName(const QString& extract);

// The Options menu's command; tests script its file dialogs.
class RoadMapCommands : public QObject {
    Q_OBJECT
public:
    RoadMapCommands(varno::session::Session& session, QWidget* window);
    // The dialog; on OK the road map named is opened (or none, for no name).
    void showDialog();
    FileDialogs dialogs = FileDialogs::standard();

private:
    varno::session::Session& session_;
    QWidget* window_;
};

void registerRoadMapCommands(CMainFrame& frame);
