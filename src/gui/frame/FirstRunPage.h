// The welcome page after the first start: a camera file, the receiver, and Start.
#pragma once

#include <QDialog>
#include <functional>

#include "gui/support/FileDialogs.h"

class CMainFrame;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Shown once, after the first start's settings questions: the user picks a
// camera file (or converts one through the Convert commands), the receiver
// (a serial port of the machine, gpsd or a TCP NMEA stream), and Start writes
// the choices and starts the GPS. Skip leaves the camera file and the
// receiver as they are. Either way, "Recommended for driving" (checked at
// first) writes the profile recommended for driving; unchecked, the defaults
// the first start wrote stand.
class FirstRunPage : public QDialog {
    Q_OBJECT
public:
    explicit FirstRunPage(CMainFrame& frame);

    QLineEdit* cameraFile() const { return cameraFile_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* convertButton() const { return convert_; }
    // The receiver: the machine's serial ports first, then gpsd and a TCP stream.
    QComboBox* receiver() const { return receiver_; }
    QLineEdit* host() const { return host_; }
    QLineEdit* netPort() const { return netPort_; }
    QCheckBox* startAlways() const { return startAlways_; }
    QCheckBox* recommended() const { return recommended_; }
    QPushButton* startButton() const { return start_; }
    QLabel* cameraNote() const { return cameraNote_; }

    FileDialogs dialogs = FileDialogs::standard();

public slots:
    // Start: writes the camera file, the receiver and the auto start, then starts the GPS.
    void accept() override;
    // Skip: only the driving profile, when chosen.
    void reject() override;

private:
    // Writes the recommended profile when its box is checked, and shows it.
    void applyDrivingProfile();
    void showCameraNote();
    void showReceiverFields();

    CMainFrame& frame_;
    QLineEdit* cameraFile_;
    QPushButton* browse_;
    QPushButton* convert_;
    QLabel* cameraNote_;
    QComboBox* receiver_;
    QLineEdit* host_;
    QLineEdit* netPort_;
    QCheckBox* startAlways_;
    QCheckBox* recommended_;
    QPushButton* start_;
};

// After the first start's questions: the data folders that could not be made
// are reported, and when the welcome page is due it is shown (`run` shows it;
// tests fill it in; the default runs it modally). Once the page is closed,
// either way, it is never shown again. False when it was not due.
bool showFirstRunPageIfDue(CMainFrame& frame, const std::function<void(FirstRunPage&)>& run = {});
