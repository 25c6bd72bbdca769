// "Get distance to position": the distance from the fix to a typed position.
#pragma once

#include <QDialog>

class QLineEdit;

class DistanceDialog : public QDialog {
    Q_OBJECT
public:
    // The current location's fields start with the fix's latitude and longitude.
    DistanceDialog(double fixLat, double fixLon, QWidget* parent = nullptr);

    QLineEdit* currentLat() const { return currentLat_; }
    QLineEdit* currentLon() const { return currentLon_; }
    QLineEdit* distantLat() const { return distantLat_; }
    QLineEdit* distantLon() const { return distantLon_; }
    QLineEdit* distance() const { return distance_; }

public slots:
    void calculate();

private:
    QLineEdit* currentLat_;
    QLineEdit* currentLon_;
    QLineEdit* distantLat_;
    QLineEdit* distantLon_;
    QLineEdit* distance_;
};
