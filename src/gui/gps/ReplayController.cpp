// Replaying an NMEA log into the window: the dialog, the pacing window timer, Esc, the end.
#include "gui/gps/ReplayController.h"

#include "gui/frame/CVARNOView.h"
#include "gui/gps/ReplayDialog.h"

using varno::gps::LogReplay;

ReplayController::ReplayController(varno::session::Session& session, CVARNOView* view, QWidget* window)
    : QObject(window), session_(session), view_(view), window_(window), timer_(new GateTimer(this)),
      replay_(session.road().mailbox(), session.prompt(),
              LogReplay::Callbacks{
                  postTo(this),
                  [this] { repaintWithSentence(); },
                  [this] {
                      session_.road().notify();
                      if (afterCameraLogic)
                          afterCameraLogic();
                  },
                  [this](std::chrono::milliseconds) { timer_->gate().wait(); },
                  [this] { session_.road().replayStarted(); },
                  [this] {
                      timer_->stop();
                      session_.road().replayEnded();
                      emit finished();
                  },
              })
{
    setObjectName(QStringLiteral("replayController"));
}

ReplayController::~ReplayController()
{
    stop();
}

void ReplayController::stop()
{
    // Release the tick wait first: the worker may be waiting for a tick.
    timer_->stop();
    replay_.cancel();
    session_.road().replayEnded();
}

void ReplayController::repaintWithSentence()
{
    varno::session::SentenceRoad& road = session_.road();
    lastSentence_ = road.mailbox().snapshot().sentence;
    if (view_)
        view_->repaint();
    // A window that is hidden or minimised skips its paint; the sentence must
    // still reach the fix, or the camera logic would run on an old position.
    road.take();
}

bool ReplayController::start(const QString& path, int delayMs, varno::gps::ReplayStartOptions options)
{
    if (path.isEmpty() || replay_.running())
        return false;
    // Arm the pacing before the worker can wait on it.
    timer_->start(std::chrono::milliseconds(delayMs < 1 ? 1 : delayMs));
    if (!replay_.start(path.toStdString(), delayMs, options)) {
        timer_->stop();
        return false;
    }
    emit started();
    return true;
}

void ReplayController::runDialog()
{
    if (replay_.running())
        return;
    ReplayDialog dlg(session_.dataRoot(), window_);
    dlg.dialogs = dialogs;
    const bool ok = dialogHook ? dialogHook(dlg) : dlg.exec() == QDialog::Accepted;
    if (!ok)
        return;
    // One source at a time: the replay's positions would take turns with the receiver's.
    if (session_.gpsRunning()) {
        if (session_.prompt().show(std::string(varno::session::kStopGpsForReplay),
                                   varno::PromptButtons::YesNo) != varno::PromptAnswer::Yes)
            return;
        session_.stopGps();
    }
    start(dlg.filePath(), dlg.delayMs());
}
