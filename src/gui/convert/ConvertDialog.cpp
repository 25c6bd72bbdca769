// The dialogs of the Convert menu.
#include "gui/convert/ConvertDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/DataPath.h"

ConvertDialog::ConvertDialog(const QString& title, std::string dataRoot, QWidget* parent)
    : QDialog(parent), dataRoot_(std::move(dataRoot)), grid_(new QGridLayout(this))
{
    setWindowTitle(title);
}

QLineEdit* ConvertDialog::addFile(const QString& name, const QString& label, const QString& initial,
                                  std::string_view filter, bool save)
{
    const int row = row_++;
    auto* edit = new QLineEdit(initial, this);
    edit->setObjectName(name);
    edit->setMinimumWidth(360);
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(name + QStringLiteral("Browse"));
    const QString filterText = qtFileFilter(filter);
    connect(browse, &QPushButton::clicked, this, [this, edit, filterText, save] {
        FileRequest r;
        r.title = save ? QStringLiteral("Save As") : QStringLiteral("Open");
        const QString current =
            QString::fromStdString(varno::mapDataPath(edit->text().toStdString(), dataRoot_));
        const QFileInfo info(current);
        r.folder = info.isDir() ? current : info.absolutePath();
        r.proposedName = info.isDir() ? QString() : info.fileName();
        r.filter = filterText;
        const QString chosen = save ? dialogs.save(this, r) : dialogs.open(this, r);
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    grid_->addWidget(new QLabel(label, this), row, 0);
    grid_->addWidget(edit, row, 1);
    grid_->addWidget(browse, row, 2);
    fields_[name] = edit;
    return edit;
}

QLineEdit* ConvertDialog::addField(const QString& name, const QString& label, const QString& initial)
{
    const int row = row_++;
    auto* edit = new QLineEdit(initial, this);
    edit->setObjectName(name);
    grid_->addWidget(new QLabel(label, this), row, 0);
    grid_->addWidget(edit, row, 1);
    fields_[name] = edit;
    return edit;
}

QCheckBox* ConvertDialog::addCheck(const QString& name, const QString& label, bool checked)
{
    auto* box = new QCheckBox(label, this);
    box->setObjectName(name);
    box->setChecked(checked);
    grid_->addWidget(box, row_++, 0, 1, 3);
    checks_[name] = box;
    return box;
}

void ConvertDialog::addText(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    grid_->addWidget(label, row_++, 0, 1, 3);
}

QPushButton* ConvertDialog::addButton(const QString& name, const QString& label,
                                      std::function<void()> clicked)
{
    auto* button = new QPushButton(label, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, std::move(clicked));
    grid_->addWidget(button, row_++, 0, 1, 3);
    return button;
}

void ConvertDialog::addClose(bool withCancel)
{
    auto* buttons = new QDialogButtonBox(withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                    : QDialogButtonBox::StandardButtons(QDialogButtonBox::Ok),
                                         this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid_->addWidget(buttons, row_++, 0, 1, 3);
}

QString ConvertDialog::text(const QString& name) const
{
    return fields_.at(name)->text();
}

std::string ConvertDialog::path(const QString& name) const
{
    const std::string typed = text(name).toStdString();
    return typed.empty() ? typed : varno::mapDataPath(typed, dataRoot_);
}

bool ConvertDialog::checked(const QString& name) const
{
    return checks_.at(name)->isChecked();
}

ConvertAnswers ConvertDialog::answers() const
{
    ConvertAnswers a;
    for (const auto& [name, edit] : fields_)
        a.texts[name.toStdString()] = edit->text().toStdString();
    for (const auto& [name, box] : checks_)
        a.checks[name.toStdString()] = box->isChecked();
    return a;
}

std::string ConvertAnswers::text(std::string_view name) const
{
    const auto it = texts.find(name);
    return it == texts.end() ? std::string() : it->second;
}

bool ConvertAnswers::checked(std::string_view name) const
{
    const auto it = checks.find(name);
    return it != checks.end() && it->second;
}
