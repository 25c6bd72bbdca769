// "Get distance to position": the distance from the fix to a typed position.
#include "gui/options/DistanceDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "geo/PositionDistance.h"

namespace {

QGroupBox* positionGroup(const QString& title, QLineEdit* lat, QLineEdit* lon, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Latitude"), lat);
    form->addRow(QStringLiteral("Longitude"), lon);
    return group;
}

} // namespace

DistanceDialog::DistanceDialog(double fixLat, double fixLon, QWidget* parent)
    : QDialog(parent),
      // QString::asprintf formats in the C locale, as the fields are read.
      currentLat_(new QLineEdit(QString::asprintf("%f", fixLat), this)),
      currentLon_(new QLineEdit(QString::asprintf("%f", fixLon), this)), distantLat_(new QLineEdit(this)),
      distantLon_(new QLineEdit(this)), distance_(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Get distance to position"));
    auto* calculate = new QPushButton(QStringLiteral("Calculate"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(calculate, &QPushButton::clicked, this, &DistanceDialog::calculate);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* distanceRow = new QFormLayout;
    distanceRow->addRow(QStringLiteral("Distance"), distance_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calculate);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(positionGroup(QStringLiteral("Current location"), currentLat_, currentLon_, this));
    layout->addWidget(positionGroup(QStringLiteral("Distant location"), distantLat_, distantLon_, this));
    layout->addLayout(distanceRow);
    layout->addLayout(buttons);
}

void DistanceDialog::calculate()
{
    const std::string text = varno::geo::positionDistanceText(
        currentLat_->text().toStdString(), currentLon_->text().toStdString(),
        distantLat_->text().toStdString(), distantLon_->text().toStdString());
    distance_->setText(QString::fromStdString(text));
}
