// The dialogs of the Convert menu: file fields with Browse, check boxes, number fields and
// buttons, laid out in rows and found by object name in tests.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "gui/support/FileDialogs.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

// What a dialog's fields and boxes held when a conversion started: a copy the worker may read.
struct ConvertAnswers {
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, bool, std::less<>> checks;

    // Empty, and not checked, for a name the dialog does not have.
    std::string text(std::string_view name) const;
    bool checked(std::string_view name) const;
};

class ConvertDialog : public QDialog {
    Q_OBJECT
public:
    // dataRoot: where "C:\\VARNO" is on this machine.
    ConvertDialog(const QString& title, std::string dataRoot, QWidget* parent = nullptr);

    // A file name field with a Browse button; save: Browse asks for a name to write.
    QLineEdit* addFile(const QString& name, const QString& label, const QString& initial,
                       std::string_view filter, bool save);
    QLineEdit* addField(const QString& name, const QString& label, const QString& initial);
    QCheckBox* addCheck(const QString& name, const QString& label, bool checked);
    void addText(const QString& text);
    QPushButton* addButton(const QString& name, const QString& label, std::function<void()> clicked);
    // The closing buttons: OK (closes) and, when asked, Cancel.
    void addClose(bool withCancel);
    // The layout, for dialogs that add widgets of their own.
    QGridLayout* grid() const { return grid_; }
    int nextRow() { return row_++; }

    QString text(const QString& name) const;
    // A file field's text as a path on this machine ("C:\\VARNO\\..." mapped); empty stays empty.
    std::string path(const QString& name) const;
    bool checked(const QString& name) const;
    QCheckBox* check(const QString& name) const { return checks_.at(name); }
    ConvertAnswers answers() const;

    FileDialogs dialogs = FileDialogs::standard();
    const std::string& dataRoot() const { return dataRoot_; }

private:
    std::string dataRoot_;
    QGridLayout* grid_;
    int row_ = 0;
    std::map<QString, QLineEdit*> fields_;
    std::map<QString, QCheckBox*> checks_;
};
