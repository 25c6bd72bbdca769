// "Shortcut keys list": the keys and what they do.
#pragma once

#include <QDialog>
#include <QTreeWidget>

class ShortcutListDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShortcutListDialog(QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

private:
    QTreeWidget* list_;
};
