// "Start Time Options": routes and night colours chosen by the time the program starts.
#include "StartTimeDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ColourConvert.h"

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

    auto field = [&](const std::string& name) {
        auto* e = new QLineEdit(this);
        e->setMaxLength(kMaxText);
        // Shown as stored, without the reader's messages: nothing is missing
        // until the user has had a chance to fill it in.
        e->setText(textFromBytes(settings.readString(name).value_or("")));
        return e;
    };
    auto timeRow = [&](QGridLayout* grid, int row, Row& r, const std::string& startName,
                       const std::string& endName, const std::string& enableName) {
        r.start = field(startName);
        r.end = field(endName);
        r.enable = new QCheckBox(QStringLiteral("Enable"), this);
        r.enable->setChecked(settings.readOnOff(enableName) == 1);
        grid->addWidget(new QLabel(QStringLiteral("Start time"), this), row, 0);
        grid->addWidget(r.start, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("End Time"), this), row, 2);
        grid->addWidget(r.end, row, 3);
        grid->addWidget(r.enable, row, 4);
    };

    for (int n = 0; n < 2; ++n) {
        const std::string s = std::to_string(n + 1);
        auto* group = new QGroupBox(QStringLiteral("Load Route %1").arg(n + 1), this);
        auto* grid = new QGridLayout(group);
        Row& r = routes_[n];
        r.file = field("StartTimerFilename" + s);
        auto* browse = new QPushButton(QStringLiteral("Browse"), group);
        auto* picker = new QPushButton(QStringLiteral("Picker"), group);
        picker->setEnabled(false); // until the route pick list exists
        grid->addWidget(r.file, 0, 0, 1, 3);
        grid->addWidget(browse, 0, 3);
        grid->addWidget(picker, 0, 4);
        timeRow(grid, 1, r, "StartTimerStartTime" + s, "StartTimerEndTime" + s, "StartTimerEnable" + s);
        QLineEdit* file = r.file;
        connect(browse, &QPushButton::clicked, this, [this, file] {
            const QString chosen = QFileDialog::getOpenFileName(this, QString(), routeFolder_,
                                                                QStringLiteral("Route file (*.csv)"));
            if (!chosen.isEmpty())
                file->setText(chosen);
        });
        layout->addWidget(group);
    }
    auto* group = new QGroupBox(QStringLiteral("Set night time colours."), this);
    auto* grid = new QGridLayout(group);
    timeRow(grid, 0, night_, "NightTimerStartTime", "NightTimerEndTime", "NightTimerEnable");
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
    for (int n = 0; n < 2 && ok; ++n) {
        const std::string s = std::to_string(n + 1);
        const Row& r = routes_[n];
        ok = settings_.writeString("StartTimerFilename" + s, str(r.file)) &&
             settings_.writeString("StartTimerStartTime" + s, str(r.start)) &&
             settings_.writeString("StartTimerEndTime" + s, str(r.end)) &&
             settings_.writeDword("StartTimerEnable" + s, r.enable->isChecked() ? 1u : 0u);
    }
    if (ok) {
        ok = settings_.writeString("NightTimerStartTime", str(night_.start)) &&
             settings_.writeString("NightTimerEndTime", str(night_.end)) &&
             settings_.writeDword("NightTimerEnable", night_.enable->isChecked() ? 1u : 0u);
    }
    QDialog::accept();
}
