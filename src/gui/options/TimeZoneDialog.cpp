// "Time Zone": the hours added to the receiver's UTC time.
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
    field_->setText(textFromBytes(settings.peek(varno::settings::keys::TimeZone).value_or("")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Enter a + or - figure for your time zone. e.g. 1 or -1."), this));
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

void TimeZoneDialog::accept()
{
    settings_.write(varno::settings::keys::TimeZone,
                    varno::gps::timeZoneTextToStore(field_->text().toStdString()));
    QDialog::accept();
}
