// "Auto start options": what the program does by itself when its window appears.
#pragma once

#include <QCheckBox>
#include <QDialog>

#include "settings/Settings.h"

class AutoStartDialog : public QDialog {
    Q_OBJECT
public:
    explicit AutoStartDialog(varno::settings::Settings& settings, QWidget* parent = nullptr);
    QCheckBox* gps() const { return gps_; }
    QCheckBox* size() const { return size_; }
    QCheckBox* log() const { return log_; }
    QCheckBox* route() const { return route_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QCheckBox* gps_;
    QCheckBox* size_;
    QCheckBox* log_;
    QCheckBox* route_;
};
