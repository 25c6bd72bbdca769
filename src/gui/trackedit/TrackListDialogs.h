// The Tracks menu's list dialogs over the open map file's tracks: Add/Remove
// Tracks, Visible Tracks and Select track to edit. Each needs an open map file.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <utility>

class QBoxLayout;
class QPushButton;
class QWidget;
struct FileDialogs;
namespace varno::session {
class Session;
}
namespace varno::trackedit {
class Editor;
}

// A push button that Enter in a field does not press, named for tests.
QPushButton* addDialogButton(QBoxLayout* layout, const QString& text, const char* name);

// Adds and removes tracks at once; Browse picks a log through dialogs.
void addRemoveTracksDialog(varno::session::Session& session, QWidget* window, FileDialogs& dialogs);
// Applies the visible flags on Apply and OK.
void visibleTracksDialog(varno::session::Session& session, QWidget* window);
// The chosen description and path, nullopt for Cancel.
std::optional<std::pair<std::string, std::string>> selectTrackDialog(QWidget* window,
                                                                     const varno::trackedit::Editor& editor);
