// "Speed Setup": the units speeds are shown in.
#include "gui/options/SpeedSetupDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "gps/Presentation.h"

SpeedSetupDialog::SpeedSetupDialog(varno::settings::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Speed Setup"));
    mph_ = new QRadioButton(QStringLiteral("MPH"), this);
    kph_ = new QRadioButton(QStringLiteral("Kilometres per hour"), this);
    knots_ = new QRadioButton(QStringLiteral("Knots"), this);
    switch (settings.read(varno::settings::keys::SpeedUnits)) {
    case varno::gps::kSpeedUnitsKph:
        kph_->setChecked(true);
        break;
    case varno::gps::kSpeedUnitsKnots:
        knots_->setChecked(true);
        break;
    default:
        mph_->setChecked(true);
        break;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mph_);
    layout->addWidget(kph_);
    layout->addWidget(knots_);
    layout->addWidget(buttons);
}

void SpeedSetupDialog::accept()
{
    const int units = varno::gps::speedUnitsFromDialog(kph_->isChecked(), knots_->isChecked());
    settings_.write(varno::settings::keys::SpeedUnits, static_cast<uint32_t>(units));
    QDialog::accept();
}
