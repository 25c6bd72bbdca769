// The POI dialogs: "Select Poi Files", "POI List - local points of interest" and "Manual Location".
#pragma once

#include <QDialog>

#include "session/Session.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

// Two sorted lists, the POI folder's files on the left and the selected ones
// on the right; OK stores the selection.
class SelectPoiFilesDialog : public QDialog {
    Q_OBJECT
public:
    SelectPoiFilesDialog(varno::session::Session& session, QWidget* parent = nullptr);
    QListWidget* available() const { return available_; }
    QListWidget* selected() const { return selected_; }
    QPushButton* button(const QString& text) const;

    void accept() override;

private:
    void move(QListWidget* from, QListWidget* to, bool all);

    varno::session::Session& session_;
    QListWidget* available_;
    QListWidget* selected_;
};

class NearPoiListDialog : public QDialog {
    Q_OBJECT
public:
    NearPoiListDialog(const varno::poi::PoiList& list, varno::geo::LatLon fix, QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

private:
    QTreeWidget* list_;
};

// Moves the fix by hand: each step button changes one field by 0.1 or 0.01
// degrees and moves the fix there; the view redraws.
class ManualLocationDialog : public QDialog {
    Q_OBJECT
public:
    ManualLocationDialog(varno::session::Session& session, QWidget* view, QWidget* parent = nullptr);
    QLineEdit* latitude() const { return lat_; }
    QLineEdit* longitude() const { return lon_; }
    QPushButton* button(const QString& text) const;

private:
    void step(QLineEdit* field, double by);
    void moveFix();

    varno::session::Session& session_;
    QWidget* view_;
    QLineEdit* lat_;
    QLineEdit* lon_;
};
