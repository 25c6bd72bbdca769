// The status bar's receiver pane in words, and the replay's progress with its Pause button.
#include "gui/gps/ReceiverStatus.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <chrono>

#include "gui/frame/CVARNOView.h"
#include "gui/gps/ReplayController.h"

using varno::session::ReceiverLink;

ReceiverStatus::ReceiverStatus(varno::session::Session& session, QLabel* gpsPane, QStatusBar* bar,
                               QWidget* window)
    : QObject(window), session_(session), gpsPane_(gpsPane), window_(window),
      replayLabel_(new QLabel(window)), pauseButton_(new QPushButton(QStringLiteral("Pause"), window))
{
    setObjectName(QStringLiteral("receiverStatus"));
    replayLabel_->setObjectName(QStringLiteral("replayProgress"));
    pauseButton_->setObjectName(QStringLiteral("replayPause"));
    pauseButton_->setFocusPolicy(Qt::NoFocus); // keys stay with the view (Esc stops the replay)
    pauseButton_->setToolTip(QStringLiteral("Holds the replay before its next line"));
    bar->addPermanentWidget(replayLabel_);
    bar->addPermanentWidget(pauseButton_);
    replayLabel_->hide();
    pauseButton_->hide();
    connect(pauseButton_, &QPushButton::clicked, this, [this] {
        if (ReplayController* r = replay()) {
            r->setPaused(!r->paused());
            showReplay();
        }
    });
    // The fix ages and a silent receiver is noticed without any sentence coming.
    tick_.setInterval(1000);
    connect(&tick_, &QTimer::timeout, this, &ReceiverStatus::refresh);
    tick_.start();
}

ReplayController* ReceiverStatus::replay()
{
    if (!replay_) {
        replay_ = window_->findChild<ReplayController*>();
        if (replay_) {
            connect(replay_, &ReplayController::started, this, &ReceiverStatus::refresh);
            connect(replay_, &ReplayController::finished, this, &ReceiverStatus::refresh);
        }
    }
    return replay_;
}

ReceiverLink ReceiverStatus::currentLink()
{
    using Kind = ReceiverLink::Kind;
    varno::gps::GpsControl& gps = session_.gps();
    if (ReplayController* r = replay(); r && r->running())
        return {Kind::Replay, {}};
    if (gps.opening())
        return {Kind::Opening, gps.portName()};
    if (!gps.portOpen())
        return {};
    return {gps.reader().running() ? Kind::Open : Kind::Lost, gps.portName()};
}

void ReceiverStatus::showReplay()
{
    ReplayController* r = replay();
    const bool running = r && r->running();
    replayLabel_->setVisible(running);
    pauseButton_->setVisible(running);
    if (!running)
        return;
    const int total = r->linesTotal();
    replayLabel_->setText(total < 0
                              ? QStringLiteral("Replay %1 lines").arg(r->currentLine())
                              : QStringLiteral("Replay %1 / %2 lines").arg(r->currentLine()).arg(total));
    pauseButton_->setText(r->paused() ? QStringLiteral("Resume") : QStringLiteral("Pause"));
}

void ReceiverStatus::refresh()
{
    state_.setLink(currentLink());
    const auto now = std::chrono::steady_clock::now();
    gpsPane_->setText(QString::fromStdString(state_.words(now)));
    // The view's big words follow the link too (waiting, silent), when it shows them.
    if (session_.setLinkNotice(state_.linkNotice(now)) && session_.receiverNotices())
        if (auto* view = window_->findChild<CVARNOView*>())
            view->update();
    showReplay();
}

void ReceiverStatus::sentenceTaken(bool ok)
{
    state_.setLink(currentLink());
    if (ok)
        state_.sentence(session_.receiver(), std::chrono::steady_clock::now());
    refresh();
}
