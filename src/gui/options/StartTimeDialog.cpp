// "Start Time Options": routes and night colours chosen by the time the program starts.
#include "gui/options/StartTimeDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/paint/ColourConvert.h"
#include "gui/routes/RouteDialogs.h"

namespace {
// The texts are kept in 256-byte buffers.
constexpr int kMaxText = 255;
} // namespace

StartTimeDialog::StartTimeDialog(varno::settings::Settings& settings, QString routeFolder, QWidget* parent)
    : QDialog(parent), settings_(settings), routeFolder_(std::move(routeFolder))
{
    setWindowTitle(QStringLiteral("Start Time Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Actions that take place when VARNO is started between specified times."), this));

    namespace keys = varno::settings::keys;
    auto field = [&](const auto& key) {
        auto* e = new QLineEdit(this);
        e->setMaxLength(kMaxText);
        // Shown as stored, without the reader's messages: nothing is missing
        // until the user has had a chance to fill it in.
        e->setText(textFromBytes(settings.peek(key).value_or("")));
        return e;
    };
    auto timeRow = [&](QGridLayout* grid, int row, Row& r, const varno::settings::TimeKey& start,
                       const varno::settings::TimeKey& end, const varno::settings::OnOffKey& enable) {
        r.start = field(start);
        r.end = field(end);
        r.enable = new QCheckBox(QStringLiteral("Enable"), this);
        r.enable->setChecked(settings.read(enable) == 1);
        grid->addWidget(new QLabel(QStringLiteral("Start time"), this), row, 0);
        grid->addWidget(r.start, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("End Time"), this), row, 2);
        grid->addWidget(r.end, row, 3);
        grid->addWidget(r.enable, row, 4);
    };

    for (int n = 0; n < 2; ++n) {
        auto* group = new QGroupBox(QStringLiteral("Load Route %1").arg(n + 1), this);
        auto* grid = new QGridLayout(group);
        Row& r = routes_[n];
        r.file = field(keys::StartTimerFilename[n]);
        auto* browse = new QPushButton(QStringLiteral("Browse"), group);
        auto* picker = new QPushButton(QStringLiteral("Picker"), group);
        picker->setObjectName(QStringLiteral("picker%1").arg(n + 1));
        grid->addWidget(r.file, 0, 0, 1, 3);
        grid->addWidget(browse, 0, 3);
        grid->addWidget(picker, 0, 4);
        timeRow(grid, 1, r, keys::StartTimerStartTime[n], keys::StartTimerEndTime[n],
                keys::StartTimerEnable[n]);
        QLineEdit* file = r.file;
        connect(browse, &QPushButton::clicked, this, [this, file] {
            const QString chosen = QFileDialog::getOpenFileName(this, QString(), routeFolder_,
                                                                QStringLiteral("Route file (*.csv)"));
            if (!chosen.isEmpty())
                file->setText(chosen);
        });
        // The pick list's entry picked there becomes this timer's route file.
        connect(picker, &QPushButton::clicked, this, [this, file] {
            RoutePickDialog pick(settings_, FileDialogs::standard(), routeFolder_, dataRoot_, this);
            if (beforePick)
                beforePick(pick);
            pick.exec();
            if (pick.picked() == 0)
                return;
            namespace keys = varno::settings::keys;
            if (auto path = settings_.read(keys::RoutePick[static_cast<std::size_t>(pick.picked() - 1)]))
                file->setText(textFromBytes(*path).left(kMaxText));
        });
        layout->addWidget(group);
    }
    auto* group = new QGroupBox(QStringLiteral("Set night time colours."), this);
    auto* grid = new QGridLayout(group);
    timeRow(grid, 0, night_, keys::NightTimerStartTime, keys::NightTimerEndTime, keys::NightTimerEnable);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void StartTimeDialog::accept()
{
    auto str = [](const QLineEdit* e) { return e->text().toStdString(); };
    bool ok = true;
    namespace keys = varno::settings::keys;
    for (std::size_t n = 0; n < std::size(routes_) && ok; ++n) {
        const Row& r = routes_[n];
        ok = settings_.write(keys::StartTimerFilename[n], str(r.file)) &&
             settings_.write(keys::StartTimerStartTime[n], str(r.start)) &&
             settings_.write(keys::StartTimerEndTime[n], str(r.end)) &&
             settings_.write(keys::StartTimerEnable[n], r.enable->isChecked());
    }
    if (ok) {
        ok = settings_.write(keys::NightTimerStartTime, str(night_.start)) &&
             settings_.write(keys::NightTimerEndTime, str(night_.end)) &&
             settings_.write(keys::NightTimerEnable, night_.enable->isChecked());
    }
    QDialog::accept();
}
