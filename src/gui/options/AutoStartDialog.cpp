// "Auto start options": what the program does by itself when its window appears.
#include "gui/options/AutoStartDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

AutoStartDialog::AutoStartDialog(varno::settings::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Auto start options"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](const char* label, const varno::settings::OnOffKey& key) {
        auto* box = new QCheckBox(QString::fromLatin1(label), this);
        box->setChecked(settings.read(key) == 1);
        layout->addWidget(box);
        return box;
    };
    namespace keys = varno::settings::keys;
    gps_ = add("GPS communications", keys::AutoStartGPS);
    size_ = add("Size window", keys::AutoStartSize);
    log_ = add("NMEA log", keys::AutoStartLog);
    route_ = add("Load route", keys::AutoStartRoute);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void AutoStartDialog::accept()
{
    namespace keys = varno::settings::keys;
    const std::pair<const varno::settings::OnOffKey&, QCheckBox*> values[] = {{keys::AutoStartGPS, gps_},
                                                                              {keys::AutoStartSize, size_},
                                                                              {keys::AutoStartLog, log_},
                                                                              {keys::AutoStartRoute, route_}};
    for (const auto& [key, box] : values) {
        if (!settings_.write(key, box->isChecked()))
            break;
    }
    QDialog::accept();
}
