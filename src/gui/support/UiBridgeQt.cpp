// How the replay and send-log workers reach the UI thread, and the timer ticks that pace them.
#include "gui/support/UiBridgeQt.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

#if defined(__SANITIZE_THREAD__)
// Qt is not built with ThreadSanitizer, so the hand-over through its event
// queue is invisible to it; these tell it that the worker's writes come before
// the UI thread's reads.
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
void handOver(void* p)
{
    __tsan_release(p);
}
void takeOver(void* p)
{
    __tsan_acquire(p);
}
#else
void handOver(void*) {}
void takeOver(void*) {}
#endif

// A function travelling to the UI thread. It is created on the worker and
// both run and deleted on the receiver's thread, so nothing of it is touched
// by two threads at once.
class FunctionEvent final : public QEvent {
public:
    static QEvent::Type type()
    {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    explicit FunctionEvent(std::function<void()> fn) : QEvent(type()), fn_(std::move(fn)) {}
    void run() { fn_(); }

private:
    std::function<void()> fn_;
};

// Runs the functions posted to its parent's thread; goes with its parent.
class FunctionRunner final : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent* e) override
    {
        if (e->type() != FunctionEvent::type())
            return QObject::event(e);
        takeOver(e);
        static_cast<FunctionEvent*>(e)->run();
        return true;
    }
};

} // namespace

varno::UiBridge::Post postTo(QObject* target)
{
    QPointer<QObject> guard(new FunctionRunner(target));
    return [guard](std::function<void()> fn) {
        // The worker's bridge releases its wait when the owner cancels, so a
        // function that never runs here leaves nobody waiting.
        if (QObject* r = guard.data()) {
            auto* e = new FunctionEvent(std::move(fn));
            handOver(e);
            QCoreApplication::postEvent(r, e);
        }
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
