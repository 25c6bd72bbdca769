// The route dialogs: route file, route points, excluded cameras, route options, agent options, pick list.
#pragma once

#include <QDialog>
#include <array>

#include "base/Prompt.h"
#include "geo/LatLon.h"
#include "gui/support/FileDialogs.h"
#include "routes/RouteList.h"
#include "settings/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;

// "Select route file": an edit field with the current route file, Browse, OK (stores it), Cancel.
class SelectRouteFileDialog : public QDialog {
    Q_OBJECT
public:
    SelectRouteFileDialog(varno::settings::Settings& settings, FileDialogs dialogs, QString routeFolder,
                          QWidget* parent = nullptr);
    QLineEdit* nameEdit() const { return edit_; }
    void browse();
    void accept() override;

private:
    varno::settings::Settings& settings_;
    FileDialogs dialogs_;
    QString routeFolder_;
    QLineEdit* edit_;
};

// "Route points list": the file, its route name and one row per point with its distance from the fix.
class RoutePointsDialog : public QDialog {
    Q_OBJECT
public:
    RoutePointsDialog(varno::settings::Settings& settings, const varno::routes::RouteList& route,
                      varno::geo::LatLon fix, const std::string& dataRoot, QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }
    QString fileLabel() const;
    QString nameLabel() const;

private:
    QTreeWidget* list_;
    QLabel* file_;
    QLabel* name_;
};

// "Excluded Cameras": the cameras the current route excludes.
class ExcludedCamerasDialog : public QDialog {
    Q_OBJECT
public:
    ExcludedCamerasDialog(varno::settings::Settings& settings, const varno::routes::RouteList& route,
                          const std::string& dataRoot, QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

private:
    QTreeWidget* list_;
};

// "Route options": the label texts, Exclude and SayExcluded.
class RouteOptionsDialog : public QDialog {
    Q_OBJECT
public:
    RouteOptionsDialog(varno::settings::Settings& settings, varno::Prompt& prompt, QWidget* parent = nullptr);
    void accept() override;
    QCheckBox* box(int n) const { return boxes_[static_cast<std::size_t>(n)]; }

private:
    varno::settings::Settings& settings_;
    std::array<QCheckBox*, 5> boxes_{};
};

// "Route MSAgent options": the character file, the road type, the agent and its sounds.
class RouteAgentDialog : public QDialog {
    Q_OBJECT
public:
    RouteAgentDialog(varno::settings::Settings& settings, FileDialogs dialogs, QWidget* parent = nullptr);
    void accept() override;
    QLineEdit* fileEdit() const { return file_; }
    QCheckBox* motorway() const { return motorway_; }
    QCheckBox* country() const { return country_; }
    QCheckBox* town() const { return town_; }
    QCheckBox* enable() const { return enable_; }
    QCheckBox* sound() const { return sound_; }

private:
    varno::settings::Settings& settings_;
    FileDialogs dialogs_;
    QLineEdit* file_;
    QCheckBox *motorway_, *country_, *town_, *enable_, *sound_;
};

// "Route Pick List": nine route files in large type; a number button, a digit
// typed into the edit field, a double click or OK picks one.
class RoutePickDialog : public QDialog {
    Q_OBJECT
public:
    RoutePickDialog(varno::settings::Settings& settings, FileDialogs dialogs, QString routeFolder,
                    const std::string& dataRoot, QWidget* parent = nullptr);
    // 1 to 9, or 0 when nothing was picked.
    int picked() const { return picked_; }
    QListWidget* list() const { return list_; }
    QLineEdit* keyEdit() const { return edit_; }
    // "Change" of slot n (1 to 9).
    void change(int slot);
    void accept() override;

private:
    void pick(int slot);
    QString entryText(const std::string& stored) const;

    varno::settings::Settings& settings_;
    FileDialogs dialogs_;
    QString routeFolder_;
    std::string dataRoot_;
    QListWidget* list_;
    QLineEdit* edit_;
    int picked_ = 0;
};
