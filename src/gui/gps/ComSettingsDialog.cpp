// "Com Settings": the port and line settings the next Start uses.
#include "gui/gps/ComSettingsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gps/SourceName.h"
#include "gui/paint/ColourConvert.h"
#include "session/ComSettingsForm.h"

using varno::session::ComSettingsFields;
using varno::session::ComSettingsForm;

namespace {

QComboBox* typedCombo(std::span<const std::string_view> items, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view s : items)
        box->addItem(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
    return box;
}

std::string text(const QComboBox* box)
{
    return box->currentText().toStdString();
}

} // namespace

ComSettingsDialog::ComSettingsDialog(varno::settings::Settings& settings,
                                     const varno::gps::SerialPortEnumerator& ports, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Com Settings"));
    namespace keys = varno::settings::keys;
    auto storedPort = settings.read(keys::Port);
    const ComSettingsFields shown =
        ComSettingsForm::shown(storedPort, settings.read(keys::Speed), settings.read(keys::Parity),
                               settings.read(keys::DataBits), settings.read(keys::StopBits));

    port_ = new QComboBox(this);
    for (const std::string& p : ComSettingsForm::portChoices(varno::gps::comPortChoices(ports), storedPort))
        port_->addItem(textFromBytes(p));
    port_->setCurrentIndex(port_->findText(textFromBytes(shown.port)));

    speed_ = typedCombo(ComSettingsForm::speedList(), this);
    parity_ = typedCombo(ComSettingsForm::parityList(), this);
    dataBits_ = typedCombo(ComSettingsForm::dataBitsList(), this);
    stopBits_ = typedCombo(ComSettingsForm::stopBitsList(), this);
    speed_->setCurrentText(textFromBytes(shown.speed));
    parity_->setCurrentText(textFromBytes(shown.parity));
    dataBits_->setCurrentText(textFromBytes(shown.dataBits));
    stopBits_->setCurrentText(textFromBytes(shown.stopBits));

    // The source: stored as "Serial", "gpsd" or "TCP"; the serial rows above apply to the first only.
    source_ = new QComboBox(this);
    source_->addItem(QStringLiteral("Serial port"), QStringLiteral("Serial"));
    source_->addItem(QStringLiteral("gpsd"), QStringLiteral("gpsd"));
    source_->addItem(QStringLiteral("TCP NMEA stream"), QStringLiteral("TCP"));
    const auto kind = varno::gps::sourceKindFromText(settings.read(keys::Source).value_or(""));
    source_->setCurrentIndex(kind == varno::gps::SourceKind::Gpsd  ? 1
                             : kind == varno::gps::SourceKind::Tcp ? 2
                                                                   : 0);
    host_ = new QLineEdit(textFromBytes(settings.read(keys::SourceHost).value_or("localhost")), this);
    netPort_ = new QLineEdit(textFromBytes(settings.read(keys::SourcePort).value_or("2947")), this);
    reconnect_ =
        new QCheckBox(QStringLiteral("Wait for the receiver or server to come back after a loss"), this);
    reconnect_->setChecked(settings.read(keys::Reconnect) == 1);
    auto showSource = [this] {
        const bool network = source_->currentIndex() != 0;
        host_->setEnabled(network);
        netPort_->setEnabled(network);
    };
    connect(source_, &QComboBox::currentIndexChanged, this, showSource);
    showSource();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Source"), source_);
    form->addRow(QStringLiteral("Com Port"), port_);
    form->addRow(QStringLiteral("Speed"), speed_);
    form->addRow(QStringLiteral("Parity"), parity_);
    form->addRow(QStringLiteral("Data Bits"), dataBits_);
    form->addRow(QStringLiteral("Stop Bits"), stopBits_);
    form->addRow(QStringLiteral("Host"), host_);
    form->addRow(QStringLiteral("Port"), netPort_);
    form->addRow(QString(), reconnect_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("Normal = parity none, speed 4800, databits 8, stop bits 1."), this));
    layout->addWidget(buttons);
}

void ComSettingsDialog::accept()
{
    const ComSettingsFields f{text(port_), text(speed_), text(parity_), text(dataBits_), text(stopBits_)};
    bool written = true;
    for (const auto& [key, value] : ComSettingsForm::toStore(f)) {
        if (!(written = settings_.write(key, value)))
            break;
    }
    namespace keys = varno::settings::keys;
    if (written && settings_.write(keys::Source, source_->currentData().toString().toStdString()) &&
        settings_.write(keys::SourceHost, host_->text().trimmed().toStdString()) &&
        settings_.write(keys::SourcePort, netPort_->text().trimmed().toStdString()))
        settings_.write(keys::Reconnect, reconnect_->isChecked());
    QDialog::accept();
}
