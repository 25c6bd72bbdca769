// "Driver aids": direction-aware warnings, the over-limit chime and the average-speed coach, each on or off.
#pragma once

#include <QCheckBox>
#include <QDialog>

#include "cameras/DriverAids.h"
#include "settings/Settings.h"

class DriverAidsDialog : public QDialog {
    Q_OBJECT
public:
    DriverAidsDialog(varno::settings::Settings& settings, varno::cameras::DriverAids& aids,
                     QWidget* parent = nullptr);

    QCheckBox* direction() const { return direction_; }
    QCheckBox* chime() const { return chime_; }
    QCheckBox* coach() const { return coach_; }

public slots:
    // Stores the choice; the warner uses it from the next fix on.
    void accept() override;

private:
    varno::settings::Settings& settings_;
    varno::cameras::DriverAids& aids_;
    QCheckBox* direction_;
    QCheckBox* chime_;
    QCheckBox* coach_;
};
