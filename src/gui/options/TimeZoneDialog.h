// "Time Zone": the hours added to the receiver's UTC time, or the system's own zone.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "settings/Settings.h"

class TimeZoneDialog : public QDialog {
    Q_OBJECT
public:
    explicit TimeZoneDialog(varno::settings::Settings& settings, QWidget* parent = nullptr);
    QLineEdit* field() const { return field_; }
    // Checked: the system's zone, summer time included (stored as "System").
    QCheckBox* followSystem() const { return system_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QLineEdit* field_;
    QCheckBox* system_;
};
