// "Set Map Scale": the map radius chosen from eight widths.
#include "gui/cameras/MapScaleDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr std::array<const char*, varno::geo::kMapScaleChoices.size()> kTexts = {
    "500 metres", "1 km", "2 km", "4 km", "8 km", "16 km", "32 km", "64 km"};
}

MapScaleDialog::MapScaleDialog(varno::geo::MapScale& scale, QWidget* parent) : QDialog(parent), scale_(scale)
{
    setWindowTitle(QStringLiteral("Set Map Scale"));
    auto* group = new QGroupBox(QStringLiteral("Map Radius"), this);
    auto* groupLayout = new QVBoxLayout(group);
    // A group that may start with no button checked (a stored radius off the list).
    auto* exclusive = new QButtonGroup(this);
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        buttons_[i] = new QRadioButton(QString::fromLatin1(kTexts[i]), group);
        exclusive->addButton(buttons_[i]);
        groupLayout->addWidget(buttons_[i]);
    }
    if (const auto checked = scale_.dialogChoice())
        buttons_[*checked]->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select map width."), this));
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void MapScaleDialog::accept()
{
    std::optional<std::size_t> checked;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            checked = i;
    scale_.storeDialogChoice(checked);
    QDialog::accept();
}
