// "Track logging options": log and show the driven track, and how many points to keep.
#pragma once

#include <QDialog>

#include "views/TrackLogging.h"

class QCheckBox;
class QLineEdit;

class TrackLoggingDialog : public QDialog {
    Q_OBJECT
public:
    explicit TrackLoggingDialog(varno::views::TrackLogging& track, QWidget* parent = nullptr);
    QCheckBox* logTrack() const { return log_; }
    QCheckBox* displayTrack() const { return display_; }
    QLineEdit* recordLength() const { return length_; }

public slots:
    void accept() override;

private:
    varno::views::TrackLogging& track_;
    QCheckBox* log_;
    QCheckBox* display_;
    QLineEdit* length_;
};
