// "Auto start options": what the program does by itself when its window appears.
#include "AutoStartDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

AutoStartDialog::AutoStartDialog(varno::settings::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Auto start options"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](const char* label, const char* value) {
        auto* box = new QCheckBox(QString::fromLatin1(label), this);
        box->setChecked(settings.readOnOff(value) == 1);
        layout->addWidget(box);
        return box;
    };
    gps_ = add("GPS communications", "AutoStartGPS");
    size_ = add("Size window", "AutoStartSize");
    log_ = add("NMEA log", "AutoStartLog");
    route_ = add("Load route", "AutoStartRoute");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void AutoStartDialog::accept()
{
    const std::pair<const char*, QCheckBox*> values[] = {
        {"AutoStartGPS", gps_}, {"AutoStartSize", size_}, {"AutoStartLog", log_}, {"AutoStartRoute", route_}};
    for (const auto& [name, box] : values) {
        if (!settings_.writeDword(name, box->isChecked() ? 1u : 0u))
            break;
    }
    QDialog::accept();
}
