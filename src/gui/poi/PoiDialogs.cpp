// The POI dialogs: "Select Poi Files", "POI List - local points of interest" and "Manual Location".
#include "gui/poi/PoiDialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <fmt/printf.h>

#include "base/Numbers.h"
#include "gui/paint/ColourConvert.h"
#include "poi/PoiSelection.h"

namespace {

QPushButton* findButton(const QWidget* w, const QString& text)
{
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QListWidget* sortedList(QWidget* parent, const std::vector<std::string>& names)
{
    auto* l = new QListWidget(parent);
    l->setSortingEnabled(true);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& n : names)
        l->addItem(textFromBytes(n));
    return l;
}

} // namespace

SelectPoiFilesDialog::SelectPoiFilesDialog(varno::session::Session& session, QWidget* parent)
    : QDialog(parent), session_(session)
{
    setWindowTitle(QStringLiteral("Select Poi Files"));
    const varno::poi::PoiSelection sel =
        varno::poi::readPoiSelection(session.settings(), session.prompt(), session.dataRoot());
    available_ = sortedList(this, sel.available);
    selected_ = sortedList(this, sel.selected);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Available POI files"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Selected POI files"), this), 0, 2);
    grid->addWidget(available_, 1, 0);
    grid->addWidget(selected_, 1, 2);
    auto* buttons = new QVBoxLayout;
    auto add = [&](const QString& text, auto&& fn) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, fn);
        buttons->addWidget(b);
        return b;
    };
    add(QStringLiteral("Add"), [this] { move(available_, selected_, false); });
    add(QStringLiteral("Remove"), [this] { move(selected_, available_, false); });
    add(QStringLiteral("Add all"), [this] { move(available_, selected_, true); });
    add(QStringLiteral("Remove all"), [this] { move(selected_, available_, true); });
    buttons->addStretch();
    add(QStringLiteral("OK"), [this] { accept(); })->setDefault(true);
    add(QStringLiteral("Cancel"), [this] { reject(); });
    grid->addLayout(buttons, 1, 1);
}

QPushButton* SelectPoiFilesDialog::button(const QString& text) const
{
    return findButton(this, text);
}

void SelectPoiFilesDialog::move(QListWidget* from, QListWidget* to, bool all)
{
    QList<QListWidgetItem*> items;
    for (int i = 0; i < from->count(); ++i)
        if (all || from->item(i)->isSelected())
            items << from->item(i);
    for (QListWidgetItem* item : items) {
        const std::string name = item->text().toStdString();
        if (!varno::poi::canMovePoiName(name, session_.prompt()))
            continue;
        to->addItem(from->takeItem(from->row(item)));
    }
}

void SelectPoiFilesDialog::accept()
{
    std::vector<std::string> names;
    for (int i = 0; i < selected_->count(); ++i)
        names.push_back(selected_->item(i)->text().toStdString());
    varno::poi::storePoiSelection(session_.settings(), session_.prompt(), session_.dataRoot(), names);
    QDialog::accept();
}

NearPoiListDialog::NearPoiListDialog(const varno::poi::PoiList& pois, varno::geo::LatLon fix, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("POI List - local points of interest"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This list shows POI that are in the local area."), this));
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Latitude"), QStringLiteral("Longitude"),
                            QStringLiteral("Description"), QStringLiteral("Distance")});
    const int widths[] = {100, 100, 260, 95};
    for (int i = 0; i < 4; ++i)
        list_->setColumnWidth(i, widths[i]);
    QList<QTreeWidgetItem*> items;
    for (const varno::poi::NearPoiRow& r : varno::poi::nearPoiRows(pois, fix)) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, textFromBytes(r.latitude));
        item->setText(1, textFromBytes(r.longitude));
        item->setText(2, textFromBytes(r.description));
        item->setText(3, textFromBytes(r.distance));
        items << item;
    }
    list_->addTopLevelItems(items);
    layout->addWidget(list_);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(600, 400);
}

ManualLocationDialog::ManualLocationDialog(varno::session::Session& session, QWidget* view, QWidget* parent)
    : QDialog(parent), session_(session), view_(view)
{
    setWindowTitle(QStringLiteral("Manual Location"));
    lat_ = new QLineEdit(QString::fromStdString(fmt::sprintf("%f", session.position().latDeg())), this);
    lon_ = new QLineEdit(QString::fromStdString(fmt::sprintf("%f", session.position().lonDeg())), this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Latitude"), this), 0, 0);
    grid->addWidget(lat_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Longitude"), this), 1, 0);
    grid->addWidget(lon_, 1, 1);
    int row = 2;
    auto add = [&](const QString& text, auto&& fn) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        grid->addWidget(b, row / 2 + 1, row % 2);
        ++row;
        return b;
    };
    add(QStringLiteral("N &8"), [this] { step(lat_, 0.1); });
    add(QStringLiteral("&n"), [this] { step(lat_, 0.01); });
    add(QStringLiteral("&s"), [this] { step(lat_, -0.01); });
    add(QStringLiteral("S &2"), [this] { step(lat_, -0.1); });
    add(QStringLiteral("W &4"), [this] { step(lon_, -0.1); });
    add(QStringLiteral("&w"), [this] { step(lon_, -0.01); });
    add(QStringLiteral("&e"), [this] { step(lon_, 0.01); });
    add(QStringLiteral("E &6"), [this] { step(lon_, 0.1); });
    add(QStringLiteral("Se&t"), [this] { moveFix(); });
    add(QStringLiteral("&+ Zoom"), [this] {
        session_.zoomIn();
        view_->update();
    });
    add(QStringLiteral("&- Zoom"), [this] {
        session_.zoomOut();
        view_->update();
    });
    // Enter in a field takes the dialog's answer, as OK does.
    add(QStringLiteral("&OK"), [this] { accept(); })->setDefault(true);
    add(QStringLiteral("&Cancel"), [this] { reject(); });
}

QPushButton* ManualLocationDialog::button(const QString& text) const
{
    return findButton(this, text);
}

void ManualLocationDialog::step(QLineEdit* field, double by)
{
    const double v = varno::leadingDouble(field->text().toStdString()) + by;
    field->setText(QString::fromStdString(fmt::sprintf("%f", v)));
    moveFix();
}

void ManualLocationDialog::moveFix()
{
    session_.moveFixTo(varno::leadingDouble(lat_->text().toStdString()),
                       varno::leadingDouble(lon_->text().toStdString()));
    view_->update();
}
