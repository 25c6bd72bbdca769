// Test -> "Replay a log file": the "Replay log file" dialog (file name, Browse, delay).
#include "gui/gps/ReplayDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/DataPath.h"
#include "gps/LogReplay.h"

using varno::gps::LogReplay;

namespace {
QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

ReplayDialog::ReplayDialog(std::string dataRoot, QWidget* parent)
    : QDialog(parent), dataRoot_(std::move(dataRoot)),
      name_(new QLineEdit(qs(LogReplay::kInitialFileName), this)),
      delay_(new QLineEdit(qs(LogReplay::kInitialDelay), this))
{
    setWindowTitle(QStringLiteral("Replay log file"));
    name_->setObjectName(QStringLiteral("fileName"));
    delay_->setObjectName(QStringLiteral("delay"));
    // The name field holds up to 299 characters, as the replay keeps them.
    name_->setMaxLength(299);
    name_->setMinimumWidth(360);

    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &ReplayDialog::browse);

    auto* note = new QLabel(QStringLiteral("Replay speed in milliseconds delay per NMEA line, the lower the "
                                           "figure the faster the replay."),
                            this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("File name"), this), 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Delay"), this), 1, 0);
    grid->addWidget(delay_, 1, 1);
    grid->addWidget(note, 2, 0, 1, 3);
    grid->addWidget(buttons, 3, 0, 1, 3);
}

QString ReplayDialog::fileName() const
{
    return name_->text();
}

QString ReplayDialog::filePath() const
{
    const std::string typed = name_->text().toStdString();
    return typed.empty() ? QString() : QString::fromStdString(varno::mapDataPath(typed, dataRoot_));
}

int ReplayDialog::delayMs() const
{
    return LogReplay::delayFromText(delay_->text().toStdString());
}

void ReplayDialog::browse()
{
    FileRequest r;
    r.title = QStringLiteral("Open");
    r.folder = QString::fromStdString(varno::mapDataPath("C:\\VARNO\\Log", dataRoot_));
    r.filter = qtFileFilter(LogReplay::kFilter);
    r.defaultSuffix = QStringLiteral("csv");
    const QString chosen = dialogs.open(this, r);
    if (!chosen.isEmpty())
        name_->setText(chosen);
}
