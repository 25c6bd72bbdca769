// "Com Settings": the port and line settings the next Start uses.
#pragma once

#include <QComboBox>
#include <QDialog>

#include "gps/PortList.h"
#include "settings/Settings.h"

class ComSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ComSettingsDialog(varno::settings::Settings& settings, const varno::gps::SerialPortEnumerator& ports,
                      QWidget* parent = nullptr);

    QComboBox* port() const { return port_; }
    QComboBox* speed() const { return speed_; }
    QComboBox* parity() const { return parity_; }
    QComboBox* dataBits() const { return dataBits_; }
    QComboBox* stopBits() const { return stopBits_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QComboBox* port_;
    QComboBox* speed_;
    QComboBox* parity_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
};
