// "Com Settings": the port and line settings the next Start uses.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
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
    // Where positions come from: the serial port above, gpsd or a TCP NMEA stream at host:port.
    QComboBox* source() const { return source_; }
    QLineEdit* host() const { return host_; }
    QLineEdit* netPort() const { return netPort_; }
    QCheckBox* reconnect() const { return reconnect_; }

public slots:
    void accept() override;

private:
    varno::settings::Settings& settings_;
    QComboBox* port_;
    QComboBox* speed_;
    QComboBox* parity_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
    QComboBox* source_;
    QLineEdit* host_;
    QLineEdit* netPort_;
    QCheckBox* reconnect_;
};
