// The open and save file dialogs the commands use, replaceable in tests.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

class QWidget;

// A filter in the "description|patterns|...||" form the commands keep (one
// pair per entry, patterns separated by ";") as Qt's "description (patterns);;..." form.
QString qtFileFilter(std::string_view pairs);

struct FileRequest {
    QString title;
    QString folder;       // where the dialog starts
    QString proposedName; // the name field's initial text
    QString filter;       // Qt's form
    QString defaultSuffix;
    // Off where the command asks its own overwrite question right after the
    // dialog, so that an existing file is not asked about twice.
    bool confirmOverwrite = true;
};

// Each returns the chosen path, empty when the user cancelled.
struct FileDialogs {
    std::function<QString(QWidget* parent, const FileRequest&)> open;
    std::function<QString(QWidget* parent, const FileRequest&)> save;

    // QFileDialog.
    static FileDialogs standard();
};
