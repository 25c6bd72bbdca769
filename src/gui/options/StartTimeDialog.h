// "Start Time Options": routes and night colours chosen by the time the program starts.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <string>

#include "settings/Settings.h"

class RoutePickDialog;

class StartTimeDialog : public QDialog {
    Q_OBJECT
public:
    // routeFolder: where Browse starts ("C:\VARNO\Route\" as used on this machine).
    StartTimeDialog(varno::settings::Settings& settings, QString routeFolder, QWidget* parent = nullptr);

    // The route timers 0 and 1, and the night timer.
    struct Row {
        QLineEdit* file = nullptr; // null for the night timer
        QLineEdit* start = nullptr;
        QLineEdit* end = nullptr;
        QCheckBox* enable = nullptr;
    };
    const Row& route(int n) const { return routes_[n]; }
    const Row& night() const { return night_; }

    // Where the pick list's stored "C:\VARNO\..." paths lie on this machine.
    void setDataRoot(std::string root) { dataRoot_ = std::move(root); }
    // Tests see the pick list a "Picker" button opens before it runs.
    std::function<void(RoutePickDialog&)> beforePick;

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QString routeFolder_;
    std::string dataRoot_;
    Row routes_[2];
    Row night_;
};
