// The route dialogs.
#include "gui/routes/RouteDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/DataPath.h"
#include "routes/Guidance.h"
#include "routes/RouteGuide.h"

namespace keys = varno::settings::keys;
using varno::routes::kRouteNameLimit;

namespace {

QString fromBytes(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QDialogButtonBox* okCancel(QDialog* dlg)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return buttons;
}

QDialogButtonBox* okOnly(QDialog* dlg)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    return buttons;
}

std::optional<std::string> routeName(varno::settings::Settings& settings)
{
    std::optional<std::string> name = settings.read(keys::RouteName);
    if (name && name->size() > kRouteNameLimit)
        name->resize(kRouteNameLimit);
    return name;
}

// "Times New Roman" of `points` points at this screen's vertical resolution.
QFont largeFont(const QWidget* w, int points)
{
    QFont f(QStringLiteral("Times New Roman"));
    const qreal dpi = w->screen() ? w->screen()->logicalDotsPerInchY() : 96.0;
    f.setPixelSize(static_cast<int>(points * dpi / 72.0));
    f.setWeight(QFont::Normal);
    return f;
}

} // namespace

// --- Select route file ---

SelectRouteFileDialog::SelectRouteFileDialog(varno::settings::Settings& settings, FileDialogs dialogs,
                                             QString routeFolder, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(std::move(dialogs)), routeFolder_(std::move(routeFolder))
{
    setWindowTitle(QStringLiteral("Select route file"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("routeFile"));
    if (auto name = routeName(settings_))
        edit_->setText(fromBytes(*name));
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &SelectRouteFileDialog::browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the route file that you would like to use."), this));
    auto* row = new QHBoxLayout;
    row->addWidget(edit_, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

void SelectRouteFileDialog::browse()
{
    FileRequest r;
    r.folder = routeFolder_;
    r.filter = qtFileFilter("VARNO route file (*.csv;*.txt)|*.csv; *.txt|All files (*.*)|*.*||");
    r.defaultSuffix = QStringLiteral("csv");
    const QString chosen = dialogs_.open(this, r);
    if (!chosen.isEmpty())
        edit_->setText(chosen.left(254));
}

void SelectRouteFileDialog::accept()
{
    settings_.write(keys::RouteName, edit_->text().toStdString());
    QDialog::accept();
}

// --- Route points list ---

RoutePointsDialog::RoutePointsDialog(varno::settings::Settings& settings,
                                     const varno::routes::RouteList& route, varno::geo::LatLon fix,
                                     const std::string& dataRoot, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Route points list"));
    file_ = new QLabel(this);
    name_ = new QLabel(this);
    if (auto path = routeName(settings)) {
        file_->setText(fromBytes(*path));
        const std::string mapped = path->empty() ? *path : varno::mapDataPath(*path, dataRoot);
        name_->setText(fromBytes(varno::routes::readRouteName(mapped, 159).value_or("")));
    } else
        file_->setText(QStringLiteral("Error: unable to retreive route file name."));
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Distance"), QStringLiteral("Latitude"),
                            QStringLiteral("Longitude"), QStringLiteral("Desc. 1"),
                            QStringLiteral("Desc. 2")});
    const int widths[] = {50, 95, 95, 95, 150, 250};
    for (int c = 0; c < 6; ++c)
        list_->setColumnWidth(c, widths[c]);
    if (!route.loaded())
        list_->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("Route list is empty")}));
    else {
        int n = 0;
        for (const varno::routes::RoutePoint& p : route.points())
            list_->addTopLevelItem(new QTreeWidgetItem(
                {QString::number(++n), fromBytes(varno::routes::pointsListDistance(p, fix)),
                 fromBytes(p.latText), fromBytes(p.lonText), fromBytes(p.desc1.value_or("")),
                 fromBytes(p.desc2.value_or(""))}));
    }
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("File:"), this), 0, 0);
    grid->addWidget(file_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Route Name:"), this), 1, 0);
    grid->addWidget(name_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This list shows points in the loaded route."), this));
    layout->addLayout(grid);
    layout->addWidget(list_, 1);
    layout->addWidget(okOnly(this));
    resize(780, 420);
}

QString RoutePointsDialog::fileLabel() const
{
    return file_->text();
}

QString RoutePointsDialog::nameLabel() const
{
    return name_->text();
}

// --- Excluded cameras ---

ExcludedCamerasDialog::ExcludedCamerasDialog(varno::settings::Settings& settings,
                                             const varno::routes::RouteList& route,
                                             const std::string& dataRoot, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Excluded Cameras"));
    auto* file = new QLabel(this);
    auto* name = new QLabel(this);
    if (auto path = routeName(settings)) {
        file->setText(fromBytes(*path));
        const std::string mapped = path->empty() ? *path : varno::mapDataPath(*path, dataRoot);
        name->setText(fromBytes(varno::routes::readRouteName(mapped, 159).value_or("")));
    }
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Camera Name")});
    list_->setColumnWidth(0, 250);
    for (const std::string& n : route.excluded())
        list_->addTopLevelItem(new QTreeWidgetItem({fromBytes(n)}));
    if (route.excluded().empty())
        list_->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("There are no excluded cameras.")}));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("File Name:"), this), 0, 0);
    grid->addWidget(file, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Route Name:"), this), 1, 0);
    grid->addWidget(name, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Cameras that are excluded by the current route."), this));
    layout->addLayout(grid);
    layout->addWidget(list_, 1);
    layout->addWidget(okOnly(this));
}

// --- Route options ---

namespace {
const varno::settings::OnOffKey* const kRouteOptionKeys[] = {
    &keys::DisplayRouteNumber, &keys::DisplayRouteText1, &keys::DisplayRouteText2, &keys::Exclude,
    &keys::SayExcluded};
}

RouteOptionsDialog::RouteOptionsDialog(varno::settings::Settings& settings, varno::Prompt& prompt,
                                       QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Route options"));
    const char* texts[] = {"Point number", "Text 1", "Text 2", "Exclude cameras",
                           "Announce that route contains excluded cameras."};
    bool failed = false;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(QString::fromLatin1(texts[i]), this);
        const int v = settings_.read(*kRouteOptionKeys[i]);
        failed = failed || v < 0;
        boxes_[i]->setChecked(v == 1);
    }
    if (failed)
        prompt.message("An error occurred reading the route\nsettings from the registry");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Choose the text that is displayed next to points in the route view."), this));
    for (std::size_t i = 0; i < 3; ++i)
        layout->addWidget(boxes_[i]);
    layout->addWidget(new QLabel(QStringLiteral("Excluded camera options. "), this));
    for (std::size_t i = 3; i < boxes_.size(); ++i)
        layout->addWidget(boxes_[i]);
    layout->addWidget(okCancel(this));
}

void RouteOptionsDialog::accept()
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        settings_.write(*kRouteOptionKeys[i], boxes_[i]->isChecked());
    QDialog::accept();
}

// --- Route MSAgent options ---

RouteAgentDialog::RouteAgentDialog(varno::settings::Settings& settings, FileDialogs dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(std::move(dialogs))
{
    setWindowTitle(QStringLiteral("Route MSAgent options"));
    file_ = new QLineEdit(fromBytes(settings_.read(keys::MSAgentACS).value_or("")), this);
    auto* select = new QPushButton(QStringLiteral("Select MSAgent"), this);
    connect(select, &QPushButton::clicked, this, [this] {
        FileRequest r;
        r.filter = qtFileFilter(
            "Microsoft Agent Character File (*.acs)|*.acs|VARNO agent character (*.txt)|*.txt||");
        const QString chosen = dialogs_.open(this, r);
        if (!chosen.isEmpty())
            file_->setText(chosen);
    });
    motorway_ = new QCheckBox(QStringLiteral("Motorway   "), this);
    country_ = new QCheckBox(QStringLiteral("Country"), this);
    town_ = new QCheckBox(QStringLiteral("Town"), this);
    enable_ = new QCheckBox(QStringLiteral("Enable MSAgent"), this);
    sound_ = new QCheckBox(QStringLiteral("Enable MSAgent inbuilt sounds"), this);
    motorway_->setChecked(settings_.read(keys::RouteMotorway) == 1);
    country_->setChecked(settings_.read(keys::RouteCountry) == 1);
    town_->setChecked(settings_.read(keys::RouteTown) == 1);
    enable_->setChecked(settings_.read(keys::RouteUseMSAgent) == 1);
    sound_->setChecked(settings_.read(keys::MSAgentSound) == 1);
    // One road type at most: checking one clears the others.
    for (QCheckBox* b : {motorway_, country_, town_})
        connect(b, &QCheckBox::toggled, this, [this, b](bool on) {
            if (!on)
                return;
            for (QCheckBox* other : {motorway_, country_, town_})
                if (other != b)
                    other->setChecked(false);
        });

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral(
            "MSAgent characters such as Merlin can be used to speak the route text.  Select the .acs "
            "file for the character that you want to use. e.g. Merlin.acs Then tick the enable box."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* folder = new QLabel(
        QStringLiteral(
            "The msagent characters files are normally located in the folder  WINDOWS\\msagent\\chars."),
        this);
    folder->setWordWrap(true);
    layout->addWidget(folder);
    layout->addWidget(new QLabel(QStringLiteral("MSAgent path and filename."), this));
    auto* row = new QHBoxLayout;
    row->addWidget(file_, 1);
    row->addWidget(select);
    layout->addLayout(row);
    auto* timing = new QGroupBox(QStringLiteral("Speak Timing"), this);
    auto* t = new QHBoxLayout(timing);
    t->addWidget(motorway_);
    t->addWidget(country_);
    t->addWidget(town_);
    layout->addWidget(timing);
    layout->addWidget(enable_);
    layout->addWidget(sound_);
    layout->addWidget(okCancel(this));
}

void RouteAgentDialog::accept()
{
    settings_.write(keys::MSAgentACS, file_->text().toStdString());
    settings_.write(keys::RouteMotorway, motorway_->isChecked());
    settings_.write(keys::RouteCountry, country_->isChecked());
    settings_.write(keys::RouteTown, town_->isChecked());
    settings_.write(keys::RouteUseMSAgent, enable_->isChecked());
    settings_.write(keys::MSAgentSound, sound_->isChecked());
    QDialog::accept();
}

// --- Route pick list ---

RoutePickDialog::RoutePickDialog(varno::settings::Settings& settings, FileDialogs dialogs,
                                 QString routeFolder, const std::string& dataRoot, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(std::move(dialogs)),
      routeFolder_(std::move(routeFolder)), dataRoot_(dataRoot)
{
    setWindowTitle(QStringLiteral("Route Pick List"));
    const QFont big = largeFont(this, 22);
    list_ = new QListWidget(this);
    list_->setFont(big);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("pickKey"));
    auto* grid = new QGridLayout;
    const int rowHeight = static_cast<int>(27 * (screen() ? screen()->logicalDotsPerInchY() : 96.0) / 72.0);
    for (int slot = 1; slot <= 9; ++slot) {
        std::string text = "no-reg-pick " + std::to_string(slot);
        if (auto stored = settings_.read(keys::RoutePick[static_cast<std::size_t>(slot - 1)]))
            text = *stored;
        auto* item = new QListWidgetItem(entryText(text), list_);
        item->setSizeHint(QSize(0, rowHeight));
        auto* number = new QPushButton(QString::number(slot), this);
        number->setObjectName(QStringLiteral("pick%1").arg(slot));
        number->setFont(big);
        number->setFixedHeight(rowHeight);
        connect(number, &QPushButton::clicked, this, [this, slot] { pick(slot); });
        auto* changeButton = new QPushButton(QStringLiteral("Change"), this);
        changeButton->setObjectName(QStringLiteral("change%1").arg(slot));
        changeButton->setFixedHeight(rowHeight);
        connect(changeButton, &QPushButton::clicked, this, [this, slot] { change(slot); });
        grid->addWidget(number, slot - 1, 0);
        grid->addWidget(changeButton, slot - 1, 2);
    }
    grid->addWidget(list_, 0, 1, 9, 1);
    grid->setVerticalSpacing(0);
    list_->setFixedHeight(rowHeight * 9 + 2 * list_->frameWidth());
    list_->setMinimumWidth(420);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.size() == 1 && text[0] >= QLatin1Char('1') && text[0] <= QLatin1Char('9'))
            pick(text[0].digitValue());
        else
            edit_->clear();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(edit_);
    layout->addWidget(okCancel(this));
    edit_->setFocus();
}

QString RoutePickDialog::entryText(const std::string& stored) const
{
    const std::string path = stored.empty() ? stored : varno::mapDataPath(stored, dataRoot_);
    const std::string text = varno::routes::pickEntryText(path);
    // A file without a comment line is listed by its name as stored.
    return fromBytes(text == path ? stored : text);
}

void RoutePickDialog::pick(int slot)
{
    picked_ = slot;
    QDialog::accept();
}

void RoutePickDialog::accept()
{
    const int row = list_->currentRow();
    if (row >= 0 && list_->currentItem() && list_->currentItem()->isSelected())
        picked_ = row + 1;
    QDialog::accept();
}

void RoutePickDialog::change(int slot)
{
    FileRequest r;
    r.folder = routeFolder_;
    r.filter = qtFileFilter("Route file (*.csv)|*.csv||");
    const QString chosen = dialogs_.open(this, r);
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.toStdString();
    settings_.write(keys::RoutePick[static_cast<std::size_t>(slot - 1)], path);
    list_->item(slot - 1)->setText(entryText(path));
}
