// Test -> "Send log file to port": the "Send log" dialog and its own serial port.
#pragma once

#include <QDialog>
#include <chrono>
#include <functional>
#include <memory>

#include "gui/support/FileDialogs.h"

class GateTimer;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace varno {
class Prompt;
}
namespace varno::gps {
class SendLog;
class SerialPort;
} // namespace varno::gps
namespace varno::settings {
class Settings;
}

// Sends a log file out of a port of its own (opened like the GPS port from the
// same settings), each line ending in CR LF, as many times as "Loop Count"
// says. The worker shows "Lines Sent" and "Loop Count" as it goes; with "Send
// at one second intervals" a 500 ms timer on the dialog paces the lines.
// Closing the dialog (Cancel, the window's close button, Esc) stops the worker
// and closes the port.
class SendLogDialog : public QDialog {
    Q_OBJECT
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    // port: the send port (a CSio of its own when null). sleep: the waits of
    // the port open (a blocking wait under a busy cursor when empty).
    SendLogDialog(varno::settings::Settings& settings, varno::Prompt& prompt, QWidget* parent = nullptr,
                  varno::gps::SerialPort* port = nullptr, Sleep sleep = {});
    ~SendLogDialog() override;

    QLineEdit* fileNameEdit() const { return fileName_; }
    QLineEdit* loopCountEdit() const { return loopCount_; }
    QLineEdit* linesSentEdit() const { return linesSent_; }
    QCheckBox* intervalBox() const { return interval_; }
    QPushButton* button(const QString& text) const;

    bool sending() const;
    const GateTimer& timer() const { return *timer_; }

    FileDialogs dialogs = FileDialogs::standard();

public slots:
    void startSending();
    void pauseSending();
    void singleStep();
    void stopSending();
    void browse();
    void done(int result) override;

private:
    varno::settings::Settings& settings_;
    varno::Prompt& prompt_;
    std::unique_ptr<varno::gps::SerialPort> ownPort_;
    varno::gps::SerialPort* port_;
    QLineEdit* fileName_;
    QLineEdit* loopCount_;
    QLineEdit* linesSent_;
    QCheckBox* interval_;
    GateTimer* timer_;
    std::unique_ptr<varno::gps::SendLog> send_;
};
