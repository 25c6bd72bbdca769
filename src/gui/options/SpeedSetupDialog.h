// "Speed Setup": the units speeds are shown in.
#pragma once

#include <QDialog>
#include <QRadioButton>

#include "settings/Settings.h"

class SpeedSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit SpeedSetupDialog(varno::settings::Settings& settings, QWidget* parent = nullptr);
    QRadioButton* mph() const { return mph_; }
    QRadioButton* kph() const { return kph_; }
    QRadioButton* knots() const { return knots_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QRadioButton* mph_;
    QRadioButton* kph_;
    QRadioButton* knots_;
};
