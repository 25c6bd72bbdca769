// "Shortcut keys list": the keys and what they do.
#include "gui/frame/ShortcutListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QVBoxLayout>

#include "session/CommandTable.h"

namespace {
QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

ShortcutListDialog::ShortcutListDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Shortcut keys list"));
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Function"), QStringLiteral("Function Key"), QStringLiteral("Key"),
                            QStringLiteral("Notes")});
    for (const auto& row : varno::session::CommandTable::shortcutRows()) {
        list_->addTopLevelItem(new QTreeWidgetItem(
            QStringList{qs(row.function), qs(row.functionKey), qs(row.key), qs(row.notes)}));
    }
    for (int c = 0; c < 4; ++c)
        list_->resizeColumnToContents(c);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(760, 520);
}
