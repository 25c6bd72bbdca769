// "Specs options": whether the average speed is shown in specs zones.
#include "gui/cameras/SpecsOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

SpecsOptionsDialog::SpecsOptionsDialog(varno::cameras::AverageSpeed& specs, varno::Prompt& prompt,
                                       QWidget* parent)
    : QDialog(parent), specs_(specs), prompt_(prompt)
{
    setWindowTitle(QStringLiteral("Specs options"));
    enable_ = new QCheckBox(QStringLiteral("Enable specs average speed "), this);
    enable_->setChecked(specs_.dialogChecked());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(enable_);
    layout->addWidget(buttons);
}

void SpecsOptionsDialog::accept()
{
    specs_.storeDialogChoice(enable_->isChecked());
    QDialog::accept();
}
