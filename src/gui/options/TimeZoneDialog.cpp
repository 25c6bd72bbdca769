// "Time Zone": the hours added to the receiver's UTC time, or the system's own zone.
#include "gui/options/TimeZoneDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "gps/Presentation.h"
#include "gui/paint/ColourConvert.h"

TimeZoneDialog::TimeZoneDialog(varno::settings::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Time Zone"));
    field_ = new QLineEdit(this);
    const std::string stored = settings.peek(varno::settings::keys::TimeZone).value_or("");
    system_ = new QCheckBox(QStringLiteral("Follow the system's time zone (summer time included)"), this);
    system_->setChecked(varno::timeZoneFromText(stored).followsSystem());
    // The hours stay as they were while the system's zone is chosen.
    field_->setText(system_->isChecked() ? QString() : textFromBytes(stored));
    field_->setEnabled(!system_->isChecked());
    connect(system_, &QCheckBox::toggled, field_, [this](bool on) { field_->setEnabled(!on); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Enter a + or - figure for your time zone. e.g. 1 or -1."), this));
    layout->addWidget(field_);
    layout->addWidget(system_);
    layout->addWidget(buttons);
}

void TimeZoneDialog::accept()
{
    settings_.write(varno::settings::keys::TimeZone,
                    system_->isChecked() ? std::string(varno::kSystemTimeZone)
                                         : varno::gps::timeZoneTextToStore(field_->text().toStdString()));
    QDialog::accept();
}
