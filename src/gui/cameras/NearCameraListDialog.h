// "Camera List": the cameras now in memory, with their distances from the fix.
#pragma once

#include <QDialog>

#include "cameras/CameraStore.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class NearCameraListDialog : public QDialog {
    Q_OBJECT
public:
    NearCameraListDialog(const varno::cameras::CameraList& list, double fixLat, double fixLon,
                         QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* note_;
    QTreeWidget* list_;
    QPushButton* ok_;
};
