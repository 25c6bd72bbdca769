// "Driver aids": direction-aware warnings, the over-limit chime and the average-speed coach, each on or off.
#include "gui/cameras/DriverAidsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

DriverAidsDialog::DriverAidsDialog(varno::settings::Settings& settings, varno::cameras::DriverAids& aids,
                                   QWidget* parent)
    : QDialog(parent), settings_(settings), aids_(aids)
{
    setWindowTitle(QStringLiteral("Driver aids"));
    const varno::cameras::AidSwitches on = varno::cameras::readAidSwitches(settings);
    direction_ = new QCheckBox(QStringLiteral("Warn only of cameras ahead (heading towards them)"), this);
    chime_ = new QCheckBox(QStringLiteral("Chime while over the limit within 500 m of a camera"), this);
    coach_ = new QCheckBox(QStringLiteral("Average-speed coach: the speed to hold to the section end"), this);
    direction_->setChecked(on.direction);
    chime_->setChecked(on.chime);
    coach_->setChecked(on.coach);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(direction_);
    layout->addWidget(chime_);
    layout->addWidget(coach_);
    layout->addWidget(
        new QLabel(QStringLiteral("Camera limits are read in the unit speeds are shown in."), this));
    layout->addWidget(buttons);
}

void DriverAidsDialog::accept()
{
    namespace keys = varno::settings::keys;
    // A write that fails has shown its message; the aids still follow the boxes until the program ends.
    if (settings_.write(keys::AidDirection, direction_->isChecked()) &&
        settings_.write(keys::AidChime, chime_->isChecked()))
        settings_.write(keys::AidCoach, coach_->isChecked());
    aids_.on = {direction_->isChecked(), chime_->isChecked(), coach_->isChecked()};
    if (!aids_.on.chime)
        aids_.overLimit = aids_.averageOverLimit = false;
    if (!aids_.on.direction)
        aids_.ahead = {};
    if (!aids_.on.coach)
        aids_.coachLine.clear();
    QDialog::accept();
}
