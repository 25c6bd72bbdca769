// Test -> "Send log file to port": the "Send log" dialog and its own serial port.
#include "gui/gps/SendLogDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <thread>

#include "base/Numbers.h"
#include "CSio.h"
#include "gps/SendLog.h"
#include "gui/support/UiBridgeQt.h"
#include "Paths.h"
#include "settings/Settings.h"

using varno::gps::SendLog;

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void busySleep(std::chrono::milliseconds ms)
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    std::this_thread::sleep_for(ms);
    QApplication::restoreOverrideCursor();
}

} // namespace

SendLogDialog::SendLogDialog(varno::settings::Settings& settings, varno::Prompt& prompt, QWidget* parent,
                             varno::gps::SerialPort* port, Sleep sleep)
    : QDialog(parent), settings_(settings), prompt_(prompt), port_(port),
      fileName_(new QLineEdit(qs(SendLog::kInitialFileName), this)),
      loopCount_(new QLineEdit(QString::number(SendLog::kInitialLoopCount), this)),
      linesSent_(new QLineEdit(QStringLiteral("0"), this)),
      interval_(new QCheckBox(QStringLiteral("Send at one second intervals"), this)),
      timer_(new GateTimer(this))
{
    setWindowTitle(QStringLiteral("Send log"));
    if (!port_) {
        ownPort_ = std::make_unique<varno::platform::CSio>();
        port_ = ownPort_.get();
    }
    fileName_->setObjectName(QStringLiteral("fileName"));
    fileName_->setMaxLength(298);
    fileName_->setMinimumWidth(320);
    loopCount_->setObjectName(QStringLiteral("loopCount"));
    linesSent_->setObjectName(QStringLiteral("linesSent"));
    linesSent_->setReadOnly(true);

    SendLog::Callbacks cb;
    cb.postToUi = postTo(this);
    cb.showLinesSent = [this](int n) { linesSent_->setText(QString::number(n)); };
    cb.showLoopCount = [this](int n) {
        loopCount_->setText(QString::number(n));
        if (!send_->running())
            timer_->stop();
    };
    cb.sleep = sleep ? std::move(sleep) : Sleep(busySleep);
    cb.waitTick = [this](std::chrono::milliseconds) { timer_->gate().wait(); };
    send_ = std::make_unique<SendLog>(*port_, prompt_, settings_, std::move(cb));

    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    connect(browse, &QPushButton::clicked, this, &SendLogDialog::browse);

    auto* buttons = new QHBoxLayout;
    const std::pair<QString, void (SendLogDialog::*)()> actions[] = {
        {QStringLiteral("Start"), &SendLogDialog::startSending},
        {QStringLiteral("Pause"), &SendLogDialog::pauseSending},
        {QStringLiteral("Single Step"), &SendLogDialog::singleStep},
        {QStringLiteral("Stop"), &SendLogDialog::stopSending},
        {QStringLiteral("Cancel"), &SendLogDialog::reject},
    };
    for (const auto& [text, slot] : actions) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false); // Enter in a field must not start or close anything
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("File name"), this), 0, 0);
    grid->addWidget(fileName_, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Loop Count"), this), 1, 0);
    grid->addWidget(loopCount_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Lines Sent"), this), 2, 0);
    grid->addWidget(linesSent_, 2, 1);
    grid->addWidget(interval_, 3, 0, 1, 3);
    grid->addLayout(buttons, 4, 0, 1, 3);
}

SendLogDialog::~SendLogDialog()
{
    stopSending();
}

QPushButton* SendLogDialog::button(const QString& text) const
{
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

bool SendLogDialog::sending() const
{
    return send_->running();
}

void SendLogDialog::startSending()
{
    if (send_->running())
        return;
    const std::string typed = fileName_->text().toStdString();
    const int loops = varno::leadingInt(loopCount_->text().toStdString());
    const bool interval = interval_->isChecked();
    if (interval)
        timer_->start(SendLog::kTickPeriod);
    if (!send_->start(varno::platform::usePath(typed), loops, interval))
        timer_->stop();
}

void SendLogDialog::pauseSending()
{
    send_->pause();
}

void SendLogDialog::singleStep()
{
    send_->singleStep();
}

void SendLogDialog::stopSending()
{
    // The worker may wait for a tick: release it before it is stopped.
    timer_->stop();
    send_->stop();
}

void SendLogDialog::browse()
{
    FileRequest r;
    r.title = QStringLiteral("Open");
    const auto& key = varno::settings::keys::LogFolder;
    const std::optional<std::string> folder = settings_.read(key);
    r.folder =
        QString::fromStdString(varno::platform::usePath(folder.value_or(std::string(key.row().defaultText))));
    r.filter = qtFileFilter("*.txt *.log|*.txt;*.log||");
    r.defaultSuffix = QStringLiteral("txt");
    const QString chosen = dialogs.open(this, r);
    if (!chosen.isEmpty())
        fileName_->setText(chosen);
}

void SendLogDialog::done(int result)
{
    stopSending();
    QDialog::done(result);
}
