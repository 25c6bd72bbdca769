// "Time Zone": the hours added to the receiver's UTC time.
#pragma once

#include <QDialog>
#include <QLineEdit>

#include "settings/Settings.h"

class TimeZoneDialog : public QDialog {
    Q_OBJECT
public:
    explicit TimeZoneDialog(varno::settings::Settings& settings, QWidget* parent = nullptr);
    QLineEdit* field() const { return field_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QLineEdit* field_;
};
