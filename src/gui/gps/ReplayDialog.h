// Test -> "Replay a log file": the "Replay log file" dialog (file name, Browse, delay).
#pragma once

#include <QDialog>
#include <string>

#include "gui/support/FileDialogs.h"

class QLineEdit;

class ReplayDialog : public QDialog {
    Q_OBJECT
public:
    // dataRoot: where "C:\\VARNO" is; Browse starts in its Log folder.
    explicit ReplayDialog(std::string dataRoot, QWidget* parent = nullptr);

    // The name field as typed, and as a path on this machine.
    QString fileName() const;
    QString filePath() const;
    // The delay field's leading number, at least 1 [ms].
    int delayMs() const;

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* delayEdit() const { return delay_; }
    // Browse: the open dialog; the chosen file goes into the name field.
    void browse();

    FileDialogs dialogs = FileDialogs::standard();

private:
    std::string dataRoot_;
    QLineEdit* name_;
    QLineEdit* delay_;
};
