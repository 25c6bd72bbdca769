// Tracks menu: the track editor's map file, its tracks, the edited track, the
// backgrounds and the display toggles, and Undo/Redo while the editor is shown.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "gui/support/FileDialogs.h"

namespace varno::session {
class Session;
}
class CMainFrame;
class QWidget;

class TracksCommands : public QObject {
    Q_OBJECT
public:
    TracksCommands(varno::session::Session& session, QWidget* window);

    void newMap();
    void openMap();
    void saveMap();
    void saveMapAs();
    void closeMap();
    void description();
    void addRemoveTracks();
    void visibleTracks();
    void editTrack();
    void saveEditedTrack();
    void closeEditedTrack();
    void refreshRate();
    void loadJosmGpx();
    void loadOsm();
    void loadSrtm();
    void unloadSrtm();

    // Tests script the dialogs.
    FileDialogs dialogs = FileDialogs::standard();
    // The "Select track to edit" dialog: description and path, nullopt for Cancel.
    std::function<std::optional<std::pair<std::string, std::string>>()> chooseTrack;
    // The description dialog: the text, nullopt for Cancel.
    std::function<std::optional<std::string>(const std::string& current)> askDescription;

    // The window's close: false to keep it open (unsaved work the user kept).
    bool mayClose();

private:
    QString tracksFolder() const;
    varno::session::Session& session_;
    QWidget* window_;
};

void registerTracksCommands(CMainFrame& frame);
