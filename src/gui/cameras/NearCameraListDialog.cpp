// "Camera List": the cameras now in memory, with their distances from the fix.
#include "gui/cameras/NearCameraListDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "cameras/NearCameraRows.h"
#include "gui/paint/ColourConvert.h"

using varno::cameras::kNearCameraColumns;

NearCameraListDialog::NearCameraListDialog(const varno::cameras::CameraList& cameras, double fixLat,
                                           double fixLon, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Camera List"));
    note_ = new QLabel(QStringLiteral("This list shows cameras that are in the local area."), this);
    note_->move(10, 14);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setColumnCount(static_cast<int>(kNearCameraColumns.size()));
    QStringList titles;
    for (const auto& c : kNearCameraColumns)
        titles << QString::fromLatin1(c.title);
    list_->setHeaderLabels(titles);
    for (std::size_t i = 0; i < kNearCameraColumns.size(); ++i)
        list_->setColumnWidth(static_cast<int>(i), kNearCameraColumns[i].width);

    QList<QTreeWidgetItem*> items;
    for (const varno::cameras::NearCameraRow& row :
         varno::cameras::nearCameraRows(cameras, varno::geo::LatLon::ofFix(fixLat, fixLon))) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t i = 0; i < row.size(); ++i)
            item->setText(static_cast<int>(i), textFromBytes(row[i]));
        items << item;
    }
    list_->addTopLevelItems(items);
    resize(900, 400);
}

void NearCameraListDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The list fills the window below the note; OK stays at the top right.
    list_->setGeometry(10, 50, std::max(0, width() - 20), std::max(0, height() - 60));
    ok_->move(width() - 110, 10);
}
