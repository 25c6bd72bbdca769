// How the replay and send-log workers reach the UI thread, and the timer ticks that pace them.
#include "UiBridgeQt.h"

#include <QMetaObject>

varno::UiBridge::Post postTo(QObject* target)
{
    QPointer<QObject> guard(target);
    return [guard](std::function<void()> fn) {
        // The worker's bridge releases its wait when the owner cancels, so a
        // function that never runs here leaves nobody waiting.
        if (QObject* t = guard.data())
            QMetaObject::invokeMethod(t, std::move(fn), Qt::QueuedConnection);
    };
}

void TickGate::arm()
{
    std::lock_guard lock(mutex_);
    flag_ = true;
    released_ = false;
}

void TickGate::tick()
{
    std::lock_guard lock(mutex_);
    flag_ = false;
    cv_.notify_all();
}

bool TickGate::wait()
{
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return !flag_ || released_; });
    if (released_)
        return false;
    flag_ = true;
    return true;
}

void TickGate::release()
{
    std::lock_guard lock(mutex_);
    released_ = true;
    cv_.notify_all();
}

GateTimer::GateTimer(QObject* owner) : QObject(owner), timer_(this)
{
    // Short delays (a replay at 1 ms a line) need the precise timer.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { gate_.tick(); });
}

void GateTimer::start(std::chrono::milliseconds period)
{
    gate_.arm();
    timer_.start(std::max<int>(1, static_cast<int>(period.count())));
}

void GateTimer::stop()
{
    timer_.stop();
    gate_.release();
}
