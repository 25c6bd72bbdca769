// The Tracks menu's list dialogs: rows of the open map file's tracks, with the
// buttons that add, remove, show and hide them or pick one to edit.
#include "gui/trackedit/TrackListDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/DataPath.h"
#include "gui/support/FileDialogs.h"
#include "session/Session.h"
#include "trackedit/Editor.h"

using varno::trackedit::Editor;
using varno::trackedit::TrackStore;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// The title of the list dialogs: the map description, else the map file's name.
QString titleFor(const QString& prefix, const TrackStore& store)
{
    return prefix + qs(store.description ? *store.description : store.mapFile.value_or(std::string()));
}

QTreeWidget* makeList(QWidget* parent, const QStringList& columns, const QList<int>& widths)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QStringLiteral("tracks"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels(columns);
    for (int i = 0; i < widths.size(); ++i)
        list->setColumnWidth(i, widths[i]);
    list->setMinimumWidth(640);
    return list;
}

// The rows of the list dialogs: description (or "None") and file name, per listed entry.
void fillRows(QTreeWidget* list, const Editor& editor, bool withVisible)
{
    list->clear();
    const TrackStore* store = editor.store();
    const std::vector<std::size_t> rows = editor.listRows();
    if (!store || rows.empty()) {
        auto* item = new QTreeWidgetItem(list, {QStringLiteral("List is empty.")});
        item->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (const std::size_t i : rows) {
        const auto& e = store->tracks[i];
        QStringList cells{qs(e.description.value_or("None")), qs(e.path.value_or(std::string()))};
        if (withVisible)
            cells.prepend(e.loaded ? QStringLiteral("Yes") : QStringLiteral("No"));
        new QTreeWidgetItem(list, cells);
    }
}

QTreeWidget* makeTrackList(QWidget* parent)
{
    return makeList(parent, {QStringLiteral("Track description."), QStringLiteral("File name.")}, {300, 420});
}

// Clicking a row copies its description and file name into the two boxes.
void copyRowOnClick(QDialog& dlg, QTreeWidget* list, QLineEdit* descEdit, QLineEdit* pathEdit)
{
    QObject::connect(list, &QTreeWidget::itemClicked, &dlg, [=](QTreeWidgetItem* item) {
        if (item->columnCount() < 2 || item->text(1).isEmpty())
            return;
        descEdit->setText(item->text(0) == QStringLiteral("None") ? QString() : item->text(0));
        pathEdit->setText(item->text(1));
    });
}

// OK, which Enter presses too, and Cancel at the end of a row of buttons.
std::pair<QPushButton*, QPushButton*> addOkCancel(QBoxLayout* buttons)
{
    QPushButton* ok = addDialogButton(buttons, QStringLiteral("OK"), "ok");
    ok->setDefault(true);
    return {ok, addDialogButton(buttons, QStringLiteral("Cancel"), "cancel")};
}

} // namespace

QPushButton* addDialogButton(QBoxLayout* layout, const QString& text, const char* name)
{
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    layout->addWidget(b);
    return b;
}

void addRemoveTracksDialog(varno::session::Session& session, QWidget* window, FileDialogs& dialogs)
{
    Editor& editor = session.trackEditor();
    QDialog dlg(window);
    dlg.setObjectName(QStringLiteral("addRemoveTracks"));
    dlg.setWindowTitle(titleFor(QStringLiteral("Add/Remove Tracks - "), *editor.store()));
    auto* layout = new QVBoxLayout(&dlg);
    QTreeWidget* list = makeTrackList(&dlg);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(list);
    auto* descEdit = new QLineEdit(&dlg);
    descEdit->setObjectName(QStringLiteral("description"));
    descEdit->setPlaceholderText(QStringLiteral("Track description."));
    auto* pathEdit = new QLineEdit(&dlg);
    pathEdit->setObjectName(QStringLiteral("path"));
    pathEdit->setPlaceholderText(QStringLiteral("File name."));
    layout->addWidget(descEdit);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathEdit);
    QPushButton* browse = addDialogButton(pathRow, QStringLiteral("Browse"), "browse");
    layout->addLayout(pathRow);
    auto* buttons = new QHBoxLayout;
    QPushButton* add = addDialogButton(buttons, QStringLiteral("Add"), "add");
    QPushButton* remove = addDialogButton(buttons, QStringLiteral("Remove"), "remove");
    const auto [ok, cancel] = addOkCancel(buttons);
    layout->addLayout(buttons);
    fillRows(list, editor, false);

    copyRowOnClick(dlg, list, descEdit, pathEdit);
    QObject::connect(browse, &QPushButton::clicked, &dlg, [&] {
        FileRequest r;
        r.title = QStringLiteral("Open");
        r.folder = qs(varno::mapDataPath("C:\\VARNO\\Log\\", session.dataRoot()));
        r.filter = qtFileFilter("VARNO NMEA log file (*.txt)|*.txt|All files (*.*)|*.*||");
        const QString chosen = dialogs.open(&dlg, r);
        if (!chosen.isEmpty())
            pathEdit->setText(chosen);
    });
    QObject::connect(add, &QPushButton::clicked, &dlg, [&] {
        if (pathEdit->text().isEmpty())
            return;
        editor.addTrack(descEdit->text().toStdString(), pathEdit->text().toStdString());
        fillRows(list, editor, false);
    });
    QObject::connect(remove, &QPushButton::clicked, &dlg, [&] {
        std::vector<int> rows;
        for (QTreeWidgetItem* item : list->selectedItems())
            rows.push_back(list->indexOfTopLevelItem(item));
        if (rows.empty() || editor.listRows().empty()) {
            session.prompt().message("No rows selected.\nSelect the rows that you want to remove\nby "
                                     "clicking them in the left column\nof "
                                     "the list before clicking\nthe 'Remove' button.\n\nMuliple rows can be "
                                     "selected\nby holding the "
                                     "'Ctrl' key while clicking.");
            return;
        }
        // From the last row up, so the rows still to go keep their positions.
        std::sort(rows.rbegin(), rows.rend());
        for (const int row : rows)
            editor.removeTrackRow(static_cast<std::size_t>(row));
        fillRows(list, editor, false);
    });
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
    dlg.exec();
}

void visibleTracksDialog(varno::session::Session& session, QWidget* window)
{
    Editor& editor = session.trackEditor();
    QDialog dlg(window);
    dlg.setObjectName(QStringLiteral("visibleTracks"));
    dlg.setWindowTitle(titleFor(QStringLiteral("Select track(s) to display - "), *editor.store()));
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(
        new QLabel(QStringLiteral("Double click the first column of a row to change the display option.")));
    QTreeWidget* list = makeList(
        &dlg,
        {QStringLiteral("Visible."), QStringLiteral("Track description."), QStringLiteral("File name.")},
        {75, 300, 420});
    layout->addWidget(list);
    auto* buttons = new QHBoxLayout;
    QPushButton* all = addDialogButton(buttons, QStringLiteral("All"), "all");
    QPushButton* none = addDialogButton(buttons, QStringLiteral("None"), "none");
    QPushButton* apply = addDialogButton(buttons, QStringLiteral("Apply"), "apply");
    const auto [ok, cancel] = addOkCancel(buttons);
    layout->addLayout(buttons);
    fillRows(list, editor, true);
    const bool empty = editor.listRows().empty();
    const auto setAll = [list, empty](const QString& v) {
        for (int i = 0; !empty && i < list->topLevelItemCount(); ++i)
            list->topLevelItem(i)->setText(0, v);
    };
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dlg, [empty](QTreeWidgetItem* item) {
        if (!empty)
            item->setText(0, item->text(0) == QStringLiteral("Yes") ? QStringLiteral("No")
                                                                    : QStringLiteral("Yes"));
    });
    QObject::connect(all, &QPushButton::clicked, &dlg, [=] { setAll(QStringLiteral("Yes")); });
    QObject::connect(none, &QPushButton::clicked, &dlg, [=] { setAll(QStringLiteral("No")); });
    const auto applyRows = [&] {
        if (empty)
            return;
        std::vector<bool> visible;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            visible.push_back(list->topLevelItem(i)->text(0) == QStringLiteral("Yes"));
        editor.applyVisibility(visible);
        session.prompt().message("Display settings have been applied");
    };
    QObject::connect(apply, &QPushButton::clicked, &dlg, applyRows);
    QObject::connect(ok, &QPushButton::clicked, &dlg, [&] {
        applyRows();
        dlg.accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
    dlg.exec();
}

std::optional<std::pair<std::string, std::string>> selectTrackDialog(QWidget* window, const Editor& editor)
{
    QDialog dlg(window);
    dlg.setObjectName(QStringLiteral("selectTrack"));
    dlg.setWindowTitle(titleFor(QStringLiteral("Select track to edit - "), *editor.store()));
    auto* layout = new QVBoxLayout(&dlg);
    QTreeWidget* list = makeTrackList(&dlg);
    layout->addWidget(list);
    fillRows(list, editor, false);
    auto* descEdit = new QLineEdit(&dlg);
    descEdit->setPlaceholderText(QStringLiteral("Track description."));
    auto* pathEdit = new QLineEdit(&dlg);
    pathEdit->setPlaceholderText(QStringLiteral("Track path/name."));
    layout->addWidget(descEdit);
    layout->addWidget(pathEdit);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(box);
    copyRowOnClick(dlg, list, descEdit, pathEdit);
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair{descEdit->text().toStdString(), pathEdit->text().toStdString()};
}
